// Keeps the data library non-empty before any blob is embedded.
namespace quixo {
int embedAnchor = 0;
}
