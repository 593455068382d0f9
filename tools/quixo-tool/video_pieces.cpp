#include "video_pieces.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "build_identity.h"
#include "json_out.h"
#include "platform/child_process.h"
#include "platform/files.h"
#include "progress.h"
#include "tool_files.h"

namespace quixo::tool {

namespace {

namespace fs = std::filesystem;

// A try and two retries: a piece that fails three times fails the run.
constexpr int kPieceTries = 3;

// The pieces of a film, and where they wait.
struct PiecePlan {
    FilmRange range;
    std::int64_t pieceFrames;
    std::int64_t count;
    fs::path work;

    std::int64_t First(std::int64_t k) const { return k * pieceFrames; }
    std::int64_t Frames(std::int64_t k) const {
        return std::min(pieceFrames, range.frames - First(k));
    }
    fs::path Film(std::int64_t k) const { return work / ("piece-" + std::to_string(k) + ".mov"); }
    fs::path Log(std::int64_t k) const { return work / ("piece-" + std::to_string(k) + ".log"); }
    bool Done(std::int64_t k) const {
        std::error_code ec;
        return fs::is_regular_file(Film(k), ec);
    }
};

// Starts a child (GNU parallel) that stops when this tool is stopped.
ChildProcess Spawn(const std::vector<std::string>& argv, const std::string& errorPath) {
    ChildProcess child;
    std::string error;
    if (!StartChildProcess(argv, errorPath, child, error))
        throw ToolError{1, "cannot start " + argv[0] + ": " + error};
    StopWithTool(child.pid);
    return child;
}

int Wait(ChildProcess& child) {
    const int status = WaitChildProcess(child);
    StopWithTool(0);
    return status;
}

bool ReadLine(FILE* in, std::string& line) {
    line.clear();
    for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
        if (c == '\n') return true;
        line += static_cast<char>(c);
    }
    return !line.empty();
}

std::string GnuParallelOrFail() {
    const std::string parallel = FindProgram("parallel");
    std::string version;
    if (!parallel.empty()) {
        ChildProcess child = Spawn({parallel, "--version"}, "/dev/null");
        ReadLine(child.out, version);
        Wait(child);
    }
    if (version.rfind("GNU parallel", 0) != 0) {
        throw ToolError{1,
                        "video --jobs and --hosts need GNU parallel, and there is none on PATH "
                        "(install it with: apt-get install parallel)"};
    }
    return parallel;
}

// The sshlogins of the file as GNU parallel names them: every line but blank ones and
// comments, without a leading CPU count ("8/host" is "host").
std::vector<std::string> HostsOf(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> hosts;
    for (std::string line; std::getline(in, line);) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        line = line.substr(start, line.find_last_not_of(" \t\r") + 1 - start);
        const std::size_t slash = line.find('/');
        if (slash != std::string::npos && slash > 0 &&
            line.find_first_not_of("0123456789") == slash)
            line = line.substr(slash + 1);
        hosts.push_back(line);
    }
    return hosts;
}

// Runs `build-info` on every host before any work: a host that answers with another build, or
// not at all, stops the run by name.
void CheckHostBuilds(const std::string& parallel, const std::string& hostsFile,
                     const std::string& jobPrefix, const BuildIdentity& mine) {
    ChildProcess child = Spawn(
        {parallel, "--nonall", "--tag", "--sshloginfile", hostsFile, jobPrefix + " build-info"},
        "");
    std::vector<std::pair<std::string, std::string>> answers;  // host, JSON
    for (std::string line; ReadLine(child.out, line);) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            answers.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    Wait(child);
    for (const std::string& host : HostsOf(hostsFile)) {
        const std::string* answer = nullptr;
        for (const auto& [tag, json] : answers) {
            if (tag == host) answer = &json;
        }
        if (answer == nullptr)
            throw ToolError{1, "host " + host +
                                   " did not report its build (is this tool at the "
                                   "same path there?)"};
        const auto build = nlohmann::json::parse(*answer, nullptr, false);
        const std::string commit = build.is_object() ? build.value("commit", "") : "";
        const std::string data = build.is_object() ? build.value("data", "") : "";
        if (commit != mine.commit || data != mine.data) {
            throw ToolError{1, "host " + host + " has another build (commit " + commit + ", data " +
                                   data + "; this machine: commit " + mine.commit + ", data " +
                                   mine.data + ")"};
        }
    }
}

std::string Duration(double seconds) {
    const auto s = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%lldh%02lldm", s / 3600, s / 60 % 60);
    } else if (s >= 60) {
        std::snprintf(text, sizeof text, "%lldm%02llds", s / 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%llds", s);
    }
    return text;
}

// The one progress line of the whole run, from the lines the pieces print through parallel.
class PiecesProgress {
public:
    PiecesProgress(const PiecePlan& plan)
        : plan_(plan),
          frames_(plan.count, 0),
          state_(plan.count, kWaiting),
          line_("video", plan.range.frames) {
        for (std::int64_t k = 0; k < plan.count; ++k) {
            if (!plan.Done(k)) continue;
            state_[k] = kDone;
            frames_[k] = plan.Frames(k);
            before_ += frames_[k];
        }
    }

    // One line from a piece: "piece K frames N" or "piece K done E".
    void Hear(const std::string& text) {
        long long k = 0;
        long long n = 0;
        char word[8] = {};
        if (std::sscanf(text.c_str(), "piece %lld %7s %lld", &k, word, &n) != 3 || k < 0 ||
            k >= plan_.count)
            return;
        if (std::string(word) == "frames") {
            state_[k] = kRunning;
            frames_[k] = n;
        } else if (std::string(word) == "done") {
            state_[k] = kDone;
            frames_[k] = plan_.Frames(k);
            glErrors_ += static_cast<std::uint64_t>(n);
        }
        Show();
    }

    void Show() {
        std::int64_t done = 0;
        int running = 0;
        int finished = 0;
        for (std::int64_t k = 0; k < plan_.count; ++k) {
            done += frames_[k];
            running += state_[k] == kRunning;
            finished += state_[k] == kDone;
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const std::int64_t now = done - before_;
        const std::string left =
            now > 0 ? "about " + Duration(elapsed * (plan_.range.frames - done) / now) + " left"
                    : "estimating the time left";
        line_.Update(done, "pieces: " + std::to_string(running) + " running, " +
                               std::to_string(finished) + " of " + std::to_string(plan_.count) +
                               " done, " + left);
    }

    std::uint64_t glErrors() const { return glErrors_; }
    void Finish() { line_.Finish(); }

private:
    enum State { kWaiting, kRunning, kDone };
    const PiecePlan& plan_;
    std::vector<std::int64_t> frames_;
    std::vector<State> state_;
    std::int64_t before_ = 0;  // frames of pieces done by an earlier run
    std::uint64_t glErrors_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    ProgressLine line_;
};

// Runs the missing pieces through GNU parallel; returns how many it was asked for.
std::int64_t RenderMissingPieces(const VideoOptions& o, const PiecePlan& plan,
                                 const std::string& parallel, const std::string& jobPrefix,
                                 PiecesProgress& progress) {
    const std::string work = plan.work.string();
    std::vector<std::string> argv = {parallel,
                                     "--jobs",
                                     std::to_string(std::max(o.jobs, 1)),
                                     "--retries",
                                     std::to_string(kPieceTries),
                                     "--line-buffer",
                                     "--joblog",
                                     work + "/joblog"};
    if (!o.hosts.empty()) {
        // Each host writes its pieces and logs at the same path, and they come back here. They
        // stay there until the film is whole: with the work folder on a file system the hosts
        // share, the copy there is the one here.
        argv.insert(argv.end(), {"--sshloginfile", o.hosts, "--return", work + "/piece-{}.mov",
                                 "--return", work + "/piece-{}.log"});
    }
    argv.push_back(
        "mkdir -p " + QuoteForShell(work) + " && { " + jobPrefix + " video --piece {}" + " --out " +
        QuoteForShell(work + "/piece-") + "{}.mov --from " + std::to_string(o.from) + " --to " +
        std::to_string(o.to) + " --size " + QuoteForShell(o.size) + " --codec " + o.codec +
        " --supersample " + std::to_string(o.supersample) + " --piece-frames " +
        std::to_string(o.pieceFrames) + "; } 2>" + QuoteForShell(work + "/piece-") + "{}.log");
    argv.push_back(":::");
    std::int64_t asked = 0;
    for (std::int64_t k = 0; k < plan.count; ++k) {
        if (plan.Done(k)) continue;
        argv.push_back(std::to_string(k));
        ++asked;
    }
    if (asked == 0) return 0;
    progress.Show();
    ChildProcess child = Spawn(argv, work + "/parallel.log");
    for (std::string line; ReadLine(child.out, line);) progress.Hear(line);
    Wait(child);
    return asked;
}

// Joins the pieces without re-encoding them and adds the soundtrack, encoded once.
void JoinPieces(const PiecePlan& plan, const FilmCodec& codec, const std::string& audioInput,
                const std::string& filmPath) {
    // The concat demuxer places each piece after the durations before it, which the list gives
    // in whole microseconds: the boundaries round to the nearest, so the film's timestamps come
    // out as a film made in one process has them.
    const fs::path list = plan.work / "pieces.ffconcat";
    {
        std::ofstream out(list);
        out << "ffconcat version 1.0\n";
        for (std::int64_t k = 0; k < plan.count; ++k) {
            out << "file '" << plan.Film(k).filename().string() << "'\n";
            if (k + 1 < plan.count) {
                out << "duration "
                    << FilmFrameMicroseconds(plan.First(k) + plan.Frames(k)) -
                           FilmFrameMicroseconds(plan.First(k))
                    << "us\n";
            }
        }
        if (!out.flush()) throw ToolError{1, "cannot write " + list.string()};
    }
    const std::string command = QuoteForShell(FindProgram("ffmpeg")) +
                                " -hide_banner -loglevel error -y -f concat -safe 0 -i " +
                                QuoteForShell(list.string()) + audioInput +
                                " -map 0:v -map 1:a -c:v copy " + codec.audio +
                                " -movflags +faststart " + QuoteForShell(filmPath) + " </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr || pclose(pipe) != 0)
        throw ToolError{1, "ffmpeg failed to join the pieces in " + plan.work.string()};
}

[[noreturn]] void FailPiece(const PiecePlan& plan, std::int64_t k, std::int64_t missing) {
    const std::int64_t last = plan.First(k) + plan.Frames(k) - 1;
    std::error_code ec;
    const fs::path log = fs::exists(plan.Log(k), ec) ? plan.Log(k) : plan.work / "parallel.log";
    std::string message = "piece " + std::to_string(k) + " (film frames " +
                          std::to_string(plan.First(k)) + ".." + std::to_string(last) +
                          ", show frames " +
                          std::to_string(FilmShowFrame(plan.range, plan.First(k))) + ".." +
                          std::to_string(FilmShowFrame(plan.range, last)) + ") failed " +
                          std::to_string(kPieceTries) + " times; its log: " + log.string();
    if (missing > 1) message += " (" + std::to_string(missing - 1) + " more pieces failed)";
    throw ToolError{1, message + "; run again with the same arguments to render what is missing"};
}

}  // namespace

int RenderFilmInPieces(const VideoOptions& o, FrameSize size) {
    TemporaryFile film(o.out, fs::path(o.out).extension().string());
    TemporaryFile audio(o.out, ".f32");
    if (FindProgram("ffmpeg").empty()) {
        throw ToolError{1,
                        "video needs the ffmpeg executable, and there is none on PATH "
                        "(install it with: apt-get install ffmpeg)"};
    }
    const std::string parallel = GnuParallelOrFail();
    const std::unique_ptr<OfflineSpectrum> music = DecodeShowMusic(true);  // the sound is ours

    // Every job starts in this folder, where the soundtrack is, with this very executable.
    std::error_code ec;
    const std::string jobPrefix = "cd " + QuoteForShell(fs::current_path().string()) + " && " +
                                  QuoteForShell(ThisExecutablePath());
    const BuildIdentity build = ThisBuild();
    if (!o.hosts.empty()) CheckHostBuilds(parallel, o.hosts, jobPrefix, build);

    PiecePlan plan{MakeFilmRange(o.from, o.to), o.pieceFrames, 0, {}};
    plan.count = (plan.range.frames + o.pieceFrames - 1) / o.pieceFrames;
    const std::string key =
        TextChecksum(std::to_string(o.from) + " " + std::to_string(o.to) + " " + o.size + " " +
                     o.codec + " " + std::to_string(o.supersample) + " " +
                     std::to_string(o.pieceFrames) + " " + build.commit + " " + build.data);
    // An absolute path: the jobs start elsewhere, and on other machines.
    fs::path folder = o.work.empty() ? fs::path(o.out).parent_path() : fs::path(o.work);
    folder = fs::absolute(folder.empty() ? fs::path(".") : folder).lexically_normal();
    plan.work = folder / ("." + fs::path(o.out).filename().string() + ".pieces-" + key);
    fs::create_directories(plan.work, ec);
    if (ec) throw ToolError{1, "cannot make " + plan.work.string() + ": " + ec.message()};

    PiecesProgress progress(plan);
    const std::int64_t rendered = RenderMissingPieces(o, plan, parallel, jobPrefix, progress);
    progress.Finish();
    std::int64_t missing = 0;
    std::int64_t firstMissing = -1;
    for (std::int64_t k = plan.count - 1; k >= 0; --k) {
        if (plan.Done(k)) continue;
        ++missing;
        firstMissing = k;
    }
    if (missing > 0) FailPiece(plan, firstMissing, missing);

    JoinPieces(plan, FindFilmCodec(o.codec), WriteFilmAudio(*music, plan.range, audio.path()),
               film.path());
    film.Commit();
    if (!o.hosts.empty()) {
        // The hosts' copies of the work folder go too; a host that cannot be reached now keeps
        // its copy, which harms nothing.
        ChildProcess child = Spawn({parallel, "--nonall", "--sshloginfile", o.hosts,
                                    "rm -rf " + QuoteForShell(plan.work.string())},
                                   "/dev/null");
        Wait(child);
    }
    fs::remove_all(plan.work, ec);
    PrintJson({{"out", o.out},
               {"frames", plan.range.frames},
               {"seconds", plan.range.frames / 60.0},
               {"width", size.width},
               {"height", size.height},
               {"glErrors", progress.glErrors()},
               {"pieces", plan.count},
               {"piecesRendered", rendered}});
    return 0;
}

}  // namespace quixo::tool
