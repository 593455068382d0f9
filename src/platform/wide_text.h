#pragma once
// UTF-8 and the UTF-16 of the Windows calls (Windows only).
#include <string>

namespace quixo {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// The system's text for an error code of GetLastError.
std::string SystemErrorText(unsigned long code);

}  // namespace quixo
