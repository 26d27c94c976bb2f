// Throughput and memory of one file's way from source to chapter page:
// ParseSourceFile, then WriteChapterPage. Generates mixed documented sources of
// growing size, parses and writes each several times, every time in a child
// process of its own (a program run: every size starts from the same memory),
// and prints the best MB/s and the memory per input byte. With --warm each
// child first makes one untimed run, so the timed one reuses the heap it left.
//
//   extract_bench [--sizes 1,4,16,64] [--no-links] [--parse-only] [--repeats N] [--warm] [--keep DIR]
//
// Targets: >= 30 MB/s at 16 MB; time per MB at 64 MB within 1.3x of 1 MB;
// peak memory below 40 bytes per input byte.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "extract/document_model.h"
#include "extract/source_parser.h"
#include "pages/chapter_page.h"
#include "pages/page_frame.h"
#include "pages/page_paths.h"
#include "support/memory_setup.h"
#include "support/paths.h"
#include "support/quiet_user_interface.h"
#include "support/settings.h"
#include "support/user_interface.h"

using namespace tessarel;

namespace {

// ---- Source generator -------------------------------------------------------

/// The ten comment styles, as a source of each would write a comment block.
struct CommentForm {
    const char* first;   ///< before the keyword line
    const char* prefix;  ///< before every line of the block
    const char* last;    ///< after the last line ("" for single-line styles)
};

constexpr CommentForm kForms[] = {
    {"", "// ", ""}, {"", "' ", ""}, {"", "# ", ""},       {"", "; ", ""},         {"", "-- ", ""},
    {"", "c ", ""},  {"", "! ", ""}, {"/*", " * ", " */"}, {"(*", "   ", "   *)"}, {"{", "  ", "  }"},
};

const char* const kWords[] = {"buffer", "value",  "queue", "slot",   "table",  "order", "entry",  "record",
                              "stream", "header", "block", "window", "report", "field", "index",  "parser",
                              "reader", "writer", "file",  "path",   "list",   "tree",  "number", "string"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

class SourceGenerator {
public:
    explicit SourceGenerator(std::uint32_t seed) : state_(seed) {}

    /// A documented source of at least `bytes` bytes, CR LF line ends.
    std::string generate(std::size_t bytes) {
        std::string text;
        text.reserve(bytes + 4096);
        text += "/*\r\n * module: Generated Module\r\n * The chapter introduction, with *bold* words and a\r\n";
        text += " * link to http://example.org/bench/intro for the record.\r\n */\r\n\r\n";
        int section = 0;
        while (text.size() < bytes) {
            appendSection(text, section++);
        }
        return text;
    }

private:
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    const char* word() { return kWords[next() % kWordCount]; }

    void line(std::string& text, const CommentForm& form, const std::string& body) {
        text += form.prefix;
        text += body;
        text += "\r\n";
    }

    void appendSection(std::string& text, int section) {
        const CommentForm& form = kForms[section % 10];
        const std::string name = std::string(word()) + "_" + word() + "_" + std::to_string(section);
        // One section in eight documents a type: no declaration follows it.
        const bool hasDeclaration = section % 8 != 7;
        const char* keywords[] = {"function", "FUNCTION", "Procedure", "method", "sub", "property"};

        if (*form.first) {
            text += form.first;
            text += "\r\n";
        }
        line(text, form, std::string(hasDeclaration ? keywords[next() % 6] : "type") + ": " + name);
        // Mentions of earlier sections, near and far, give the cross-references work.
        std::string mentions;
        if (section > 0) {
            mentions = " Works with " + names_[static_cast<size_t>(section - 1)] + " and (" +
                       names_[next() % static_cast<size_t>(section)] + ").";
        }
        names_.push_back(name);
        line(text, form,
             std::string("Reads the ") + word() + " and returns the *" + word() + "* of the /" + word() +
                 "/ it finds, or _" + word() + "_ when none is left." + mentions);
        line(text, form,
             std::string("The ++") + word() + " " + word() + "++ must stay valid; see @goto[" + word() +
                 "] and @link[http://example.org/" + word() + ", the notes].");
        line(text, form, "");
        line(text, form, "Notes:");
        line(text, form, std::string("o the ") + word() + " comes first,");
        line(text, form, std::string("  then the ") + word() + " that follows it");
        line(text, form, std::string("+ mail @email[") + word() + "@example.org] for " + word());
        line(text, form, "");
        line(text, form, std::string("size - the number of ") + word() + "s in use");
        line(text, form, std::string("head - where the next ") + word() + " is read");
        line(text, form, "");
        line(text, form, std::string("1. open the ") + word());
        line(text, form, std::string("2. write {{ a / b * c }} to the ") + word());
        if (*form.last) {
            text += form.last;
            text += "\r\n";
        }
        if (hasDeclaration) {
            text += "int " + name + "(int first, const char *" + word() + ",\r\n";
            text += std::string("        long ") + word() + ")\r\n";
            text += "{\r\n    return first + 1;\r\n}\r\n\r\n";
        } else {
            text += "struct " + name + "_t {\r\n    int " + std::string(word()) + ";\r\n};\r\n\r\n";
        }
    }

    std::uint32_t state_;
    std::vector<std::string> names_;  ///< of the sections generated so far
};

// ---- Measurement ------------------------------------------------------------

/// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); 0 when unknown.
long StatusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& row : status.readAll().split('\n')) {
        if (row.startsWith(key)) {
            return row.mid(key.size()).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

long MaxRssKb() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

/// Processor time of this process, user and system. The machine is shared, so
/// wall time says more about the neighbours than about the code.
double CpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// Minor page faults of this process so far: each costs microseconds on a
/// virtual machine, so fresh memory shows here before it shows in the time.
long MinorFaults() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

struct Result {
    double parseSeconds = 0;  ///< processor time
    double pageSeconds = 0;   ///< processor time
    double wallSeconds = 0;   ///< parse and page, elapsed
    long parseFaults = 0;     ///< minor page faults of the fastest parse
    long pageFaults = 0;      ///< minor page faults of the fastest page
    int sections = 0;
    long baselineKb = 0;
    long peakKb = 0;
    bool ok = false;
};

/// Parses and writes the page once and times it; `warm` runs before it are not
/// timed, so the timed one finds its memory already in the heap and the caches.
Result Measure(const QString& sourcePath, const QString& pageFolder, bool links, bool writePage, bool warm) {
    QuietUserInterface ui;
    ui.echoMessages = true;
    Settings settings;
    settings.Links = links;
    settings.comments = {true, true, true, true, true, true, true, true, true, true};
    ParseOptions options;
    options.comments = settings.comments;
    options.hyperlinks = links;
    const PageStyle style{QStringLiteral("bench"), QStringLiteral("body { margin: 1em; }"), true};

    Result result;
    result.baselineKb = StatusKb("VmRSS");
    for (int run = warm ? 0 : 1; run < 2; ++run) {
        DocumentModel doc;
        PageBuffer page;
        doc.SourceFilePath = sourcePath;
        QElapsedTimer wall;
        wall.start();
        const long startFaults = MinorFaults();
        const double start = CpuSeconds();
        result.ok = ParseSourceFile(ui, doc, sourcePath, options);
        const double parsed = CpuSeconds();
        const long parsedFaults = MinorFaults();
        if (writePage) {
            const QString pagePath = MakeChapterOutputPath(pageFolder, FileNameOf(sourcePath) + QStringLiteral(".htm"));
            ChapterPageContext context{ui, page, style, settings, pagePath, QDateTime::fromSecsSinceEpoch(0)};
            // As a build does: the texts are not needed after their page.
            context.releaseTexts = true;
            WriteChapterPage(context, doc);
        }
        const double written = CpuSeconds();
        const long writtenFaults = MinorFaults();
        result.sections = doc.count();
        result.parseSeconds = parsed - start;
        result.parseFaults = parsedFaults - startFaults;
        result.pageSeconds = written - parsed;
        result.pageFaults = writtenFaults - parsedFaults;
        result.wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    }
    result.peakKb = std::max(MaxRssKb(), StatusKb("VmHWM"));
    return result;
}

/// Runs Measure in a child process and reads its result through a pipe.
bool MeasureInChild(const QString& sourcePath, const QString& pageFolder, bool links, bool writePage, bool warm,
                    Result& result) {
    int channel[2];
    if (pipe(channel) != 0) {
        return false;
    }
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        // Each child stands for a program run, which prepares its heap first.
        PrepareHeapForLargeTexts();
        const Result measured = Measure(sourcePath, pageFolder, links, writePage, warm);
        const ssize_t written = write(channel[1], &measured, sizeof measured);
        _exit(written == static_cast<ssize_t>(sizeof measured) ? 0 : 1);
    }
    close(channel[1]);
    const ssize_t got = child > 0 ? read(channel[0], &result, sizeof result) : -1;
    close(channel[0]);
    int status = 0;
    if (child > 0) {
        waitpid(child, &status, 0);
    }
    return got == static_cast<ssize_t>(sizeof result) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<double> sizes{1, 4, 16, 64};
    bool links = true;
    bool writePage = true;
    int repeats = 0;  // 0: more runs for small sizes, so their best time is steady
    bool warm = false;
    QString keep;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sizes") == 0 && i + 1 < argc) {
            sizes.clear();
            for (const QString& size : QString::fromLocal8Bit(argv[++i]).split(QLatin1Char(','))) {
                sizes.push_back(size.toDouble());
            }
        } else if (std::strcmp(argv[i], "--no-links") == 0) {
            links = false;
        } else if (std::strcmp(argv[i], "--parse-only") == 0) {
            writePage = false;
        } else if (std::strcmp(argv[i], "--repeats") == 0 && i + 1 < argc) {
            repeats = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--warm") == 0) {
            warm = true;
        } else if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) {
            keep = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fprintf(stderr,
                         "usage: extract_bench [--sizes 1,4,16,64] [--no-links] [--parse-only] [--repeats N] [--warm] "
                         "[--keep DIR]\n");
            return 2;
        }
    }

    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each row as soon as it is measured
    QTemporaryDir temporary;
    const QString folder = keep.isEmpty() ? temporary.path() : keep;
    QDir().mkpath(folder);
    std::printf("ParseSourceFile%s, all ten comment styles, cross-references %s, %s runs\n",
                writePage ? " + WriteChapterPage" : " only", links ? "on" : "off", warm ? "warm" : "cold");
    std::printf("%7s %9s %9s %9s %8s %8s %8s %7s %9s %10s %7s %9s %9s\n", "size", "sections", "parse s", "page s",
                "wall s", "MB/s", "s/MB", "vs 1st", "peak MB", "growth MB", "B/byte", "parse pf", "page pf");

    double firstSecondsPerMb = 0;
    bool allOk = true;
    for (const double megabytes : sizes) {
        const auto bytes = static_cast<std::size_t>(megabytes * 1024 * 1024);
        const QString source = folder + QStringLiteral("/bench_%1mb.c").arg(megabytes);
        {
            const std::string text = SourceGenerator(12345).generate(bytes);
            QFile file(source);
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
                return 1;
            }
        }
        const double inputMb = static_cast<double>(QFile(source).size()) / (1024.0 * 1024.0);
        // Every run is a program run of its own, for every size alike: a best
        // of warm runs at one size against cold runs at another would compare
        // the heap's first touch, not the code.
        const int runs = repeats > 0 ? repeats : std::max(3, static_cast<int>(8 / megabytes));
        Result result;
        bool measured = true;
        for (int run = 0; run < runs && measured; ++run) {
            Result one;
            measured = MeasureInChild(source, folder, links, writePage, warm, one) && one.ok;
            if (run == 0) {
                result = one;
                continue;
            }
            if (one.parseSeconds < result.parseSeconds) {
                result.parseSeconds = one.parseSeconds;
                result.parseFaults = one.parseFaults;
            }
            if (one.pageSeconds < result.pageSeconds) {
                result.pageSeconds = one.pageSeconds;
                result.pageFaults = one.pageFaults;
            }
            result.wallSeconds = std::min(result.wallSeconds, one.wallSeconds);
            result.peakKb = std::max(result.peakKb, one.peakKb);
        }
        if (!measured) {
            std::fprintf(stderr, "%g MB: the measurement failed\n", megabytes);
            allOk = false;
            continue;
        }
        const double seconds = result.parseSeconds + result.pageSeconds;
        const double secondsPerMb = seconds / inputMb;
        if (firstSecondsPerMb == 0) {
            firstSecondsPerMb = secondsPerMb;
        }
        const double growthMb = static_cast<double>(result.peakKb - result.baselineKb) / 1024.0;
        std::printf("%5g MB %9d %9.3f %9.3f %8.3f %8.1f %8.4f %7.2f %9.1f %10.1f %7.1f %9ld %9ld\n", megabytes,
                    result.sections, result.parseSeconds, result.pageSeconds, result.wallSeconds, inputMb / seconds,
                    secondsPerMb, secondsPerMb / firstSecondsPerMb, static_cast<double>(result.peakKb) / 1024.0,
                    growthMb, static_cast<double>(result.peakKb) / 1024.0 / inputMb, result.parseFaults,
                    result.pageFaults);
        if (keep.isEmpty()) {
            QFile::remove(source);
            QFile::remove(source + QStringLiteral(".htm"));
        }
    }
    std::printf(
        "parse s, page s: processor time (user + system); MB/s and s/MB from their sum; wall s: elapsed.\n"
        "vs 1st: time per MB against the first size. B/byte: peak resident size over input size;\n"
        "growth: what the run added to the resident size it started with.\n"
        "parse pf, page pf: minor page faults of the timed parse and page.\n");
    return allOk ? 0 : 1;
}
