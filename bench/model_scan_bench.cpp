// The INF reader and the full-text model scan on generated INF files shaped like the ones printer
// makers ship, next to decoding the same bytes from code page 950 alone, and the scan's peak
// memory, measured in a process of its own for each size.
//
//   velmora-bench [--sizes=1,10,100] [--peak] [Google Benchmark flags]
//
// Sizes are in MiB. --peak also measures the memory and fails when the scan's peak heap, the
// file included, passes 3 times the file's size.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "inf/models.h"
#include "maker/model_scan.h"
#include "platform/sim/codepage.h"
#include "platform/text_file.h"

namespace {

// Every operator new of the process is counted, so the scan's peak heap can be read.
std::atomic<std::size_t> heapNow{0};
std::atomic<std::size_t> heapPeak{0};

void* allocate(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (p == nullptr)
        throw std::bad_alloc();
    std::size_t now = heapNow.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    for (std::size_t peak = heapPeak.load(); now > peak;) {
        if (heapPeak.compare_exchange_weak(peak, now))
            break;
    }
    return p;
}

void release(void* p) noexcept {
    if (p != nullptr) {
        heapNow.fetch_sub(malloc_usable_size(p));
        std::free(p);
    }
}

}  // namespace

void* operator new(std::size_t n) {
    return allocate(n);
}
void* operator new[](std::size_t n) {
    return allocate(n);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

const sim::SimCodepage& cp950() {
    static const sim::SimCodepage codepage(950);
    return codepage;
}

// An INF in code page 950 as a driver package ships it: a version and a manufacturer section,
// a models section per architecture listing every model with its install section and hardware
// id, shared install sections, disk labels, and a strings section naming every model again;
// comments throughout, some of them and some model names in Chinese.
// Model numbers of one width keep every model's lines the same length, so the size of a file
// is known before it is made and its string never grows past it.
constexpr int kFirstModel = 1'000'000;

std::string infWithModels(int models, std::size_t reserve) {
    static const std::string kColour = cp950().encode("彩色雷射");
    static const std::string kBatch = cp950().encode("; 第二代印表機驅動程式，型號批次 ");
    std::string inf;
    inf.reserve(reserve);
    auto name = [&](int m) {
        std::string n = std::to_string(kFirstModel + m);
        return m % 4 == 3 ? "Maker " + kColour + " " + n + " PS" : "Maker Model " + n + " PCL6";
    };
    inf += cp950().encode("; 印表機驅動程式 (generated)\r\n");
    inf +=
        "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
        "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\r\nProvider=%Maker%\r\n"
        "DriverVer=06/21/2024,10.0.1.2\r\nCatalogFile=maker.cat\r\n\r\n"
        "[Manufacturer]\r\n%Maker%=Maker,NTamd64,NTx86,NTarm64\r\n";
    for (const char* arch : {"NTamd64", "NTx86", "NTarm64"}) {
        inf += "\r\n[Maker.";
        inf += arch;
        inf += "]\r\n";
        for (int m = 0; m < models; ++m) {
            if (m % 64 == 0)
                inf += kBatch + std::to_string(m / 64) + "\r\n";
            std::string n = std::to_string(kFirstModel + m);
            inf += '"' + name(m) + "\" = Install_" + n + ", USBPRINT\\Maker" + n + "ABCD\r\n";
        }
    }
    inf +=
        "\r\n[Install_PCL6]\r\nCopyFiles=MakerFiles\r\nDataFile=MAKER.GPD\r\n"
        "Include=ntprint.inf\r\nNeeds=UNIDRV.OEM\r\n\r\n[MakerFiles]\r\nMAKER.GPD\r\n"
        "MAKERUI.DLL\r\n\r\n[SourceDisksNames.amd64]\r\n1 = %Disk1%,,,\"\\amd64\"\r\n\r\n"
        "[SourceDisksFiles]\r\nMAKER.GPD = 1\r\nMAKERUI.DLL = 1\r\n\r\n[Strings]\r\n"
        "Maker = \"Maker\"\r\nDisk1 = \"Maker Driver Disk 1\"\r\nDisk2 = \"Maker Setup "
        "CD-ROM\"\r\n";
    for (int m = 0; m < models; ++m)
        inf += "Model" + std::to_string(kFirstModel + m) + " = \"" + name(m) + "\"\r\n";
    return inf;
}

// Exactly `size` bytes: as many models as fit, then comment lines.
std::string generateInf(std::size_t size) {
    std::size_t empty = infWithModels(0, 0).size();
    constexpr int kSampleModels = 1000;
    std::size_t perModel = (infWithModels(kSampleModels, 0).size() - empty) / kSampleModels;
    // Models fill 97 per cent of the size; comment lines the rest.
    constexpr std::size_t kModelShare = 97;
    constexpr std::size_t kWhole = 100;
    int models =
        size > empty ? static_cast<int>((size - empty) / perModel * kModelShare / kWhole) : 0;
    std::string inf = infWithModels(models, size);
    const std::string padding = "; ------------------------------------------------------\r\n";
    while (inf.size() + padding.size() <= size)
        inf += padding;
    inf.append(size - std::min(size, inf.size()), ';');
    inf.resize(size);
    return inf;
}

const std::string& infOf(std::size_t mib) {
    static std::map<std::size_t, std::string> made;
    auto it = made.find(mib);
    if (it == made.end())
        it = made.emplace(mib, generateInf(mib * kMiB)).first;
    return it->second;
}

// The same text as UTF-8 with a byte-order mark, whose decoding is only a check: next to it
// the scan's own cost shows, which the slow converter of the code page hides.
const std::string& utf8InfOf(std::size_t mib) {
    static std::map<std::size_t, std::string> made;
    auto it = made.find(mib);
    if (it == made.end())
        it = made.emplace(mib, "\xEF\xBB\xBF" + cp950().decode(infOf(mib))).first;
    return it->second;
}

void decodeUtf8Bench(benchmark::State& state, std::size_t mib) {
    const std::string& inf = utf8InfOf(mib);
    for (auto _ : state) {
        std::size_t length = 0;
        platform::decodeTextFile(inf, cp950(),
                                 [&](std::string_view part) { length += part.size(); });
        benchmark::DoNotOptimize(length);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inf.size()));
}

void scanUtf8Bench(benchmark::State& state, std::size_t mib) {
    const std::string& inf = utf8InfOf(mib);
    for (auto _ : state) {
        std::vector<std::string> models = maker::scanModels(inf, cp950());
        benchmark::DoNotOptimize(models.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inf.size()));
}

void decodeBench(benchmark::State& state, std::size_t mib) {
    const std::string& inf = infOf(mib);
    for (auto _ : state) {
        std::string text = cp950().decode(inf);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inf.size()));
}

void scanBench(benchmark::State& state, std::size_t mib) {
    const std::string& inf = infOf(mib);
    std::size_t found = 0;
    for (auto _ : state) {
        std::vector<std::string> models = maker::scanModels(inf, cp950());
        found = models.size();
        benchmark::DoNotOptimize(models.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inf.size()));
    state.counters["models"] = static_cast<double>(found);
}

// The INF reader: the decode, the sections, the strings and the models chosen for x64.
void readBench(benchmark::State& state, std::size_t mib) {
    const std::string& inf = infOf(mib);
    const platform::WindowsTarget target;
    std::size_t found = 0;
    for (auto _ : state) {
        inf::ModelList list = inf::readModels(inf::Document::fromBytes(inf, cp950()), target);
        found = list.models.size();
        benchmark::DoNotOptimize(list.models.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inf.size()));
    state.counters["models"] = static_cast<double>(found);
}

// The console report, then the figures the scan is held to, in processor time: other work on
// the machine stretches the wall-clock time of both alike, but not evenly.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            bool median = run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
                seconds_[run.run_name.function_name] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::vector<std::size_t> sizes;
        constexpr std::string_view kDecode = "decode950/";
        for (const auto& [name, time] : seconds_) {
            if (name.starts_with(kDecode))
                sizes.push_back(std::stoul(name.substr(kDecode.size())));
        }
        std::sort(sizes.begin(), sizes.end());
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            double scan = seconds_["scan/" + std::to_string(sizes[i]) + "MiB"];
            double decode = seconds_["decode950/" + std::to_string(sizes[i]) + "MiB"];
            if (decode > 0 && scan > 0)
                std::printf("scan / decode, %zu MiB: %.2f (target at most 2)\n", sizes[i],
                            scan / decode);
            double read = seconds_["read/" + std::to_string(sizes[i]) + "MiB"];
            if (decode > 0 && read > 0)
                std::printf("INF read / decode, %zu MiB: %.2f (target at most 2)\n", sizes[i],
                            read / decode);
            if (i > 0 && read > 0) {
                double before = seconds_["read/" + std::to_string(sizes[i - 1]) + "MiB"];
                std::printf("INF read time %zu MiB / %zu MiB: %.2f for %.0f times the input\n",
                            sizes[i], sizes[i - 1], read / before,
                            static_cast<double>(sizes[i]) / static_cast<double>(sizes[i - 1]));
            }
            double utf8Scan = seconds_["scanUtf8/" + std::to_string(sizes[i]) + "MiB"];
            double utf8Decode = seconds_["decodeUtf8/" + std::to_string(sizes[i]) + "MiB"];
            if (utf8Decode > 0)
                std::printf("UTF-8 scan / UTF-8 check, %zu MiB: %.2f\n", sizes[i],
                            utf8Scan / utf8Decode);
            if (i > 0 && scan > 0) {
                double before = seconds_["scan/" + std::to_string(sizes[i - 1]) + "MiB"];
                std::printf(
                    "scan time %zu MiB / %zu MiB: %.2f for %.0f times the input (target "
                    "at most 1.2 per 1)\n",
                    sizes[i], sizes[i - 1], scan / before,
                    static_cast<double>(sizes[i]) / static_cast<double>(sizes[i - 1]));
            }
        }
    }

  private:
    std::map<std::string, double> seconds_;
};

// A figure of /proc/self/status in bytes: VmRSS now, VmHWM the peak. The peak of the process's
// own memory; getrusage's would carry over the parent's through exec.
std::size_t statusBytes(std::string_view field) {
    constexpr int kDecimal = 10;
    std::size_t kib = 0;
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f) != nullptr) {
            if (std::string_view(line).starts_with(field))
                kib = std::strtoul(line + field.size() + 1, nullptr, kDecimal);
        }
        std::fclose(f);
    }
    return kib * 1024;
}

// In a process of its own, so nothing earlier raised the high-water marks.
int measurePeak(std::size_t mib) {
    constexpr double kHeapTarget = 3.0;  // times the file, the file included
    cp950().decode("x");                 // the converter's tables are loaded before the baseline
    std::size_t startRss = statusBytes("VmRSS");
    const std::string inf = generateInf(mib * kMiB);
    std::size_t models = 0;
    heapPeak = heapNow.load();
    {
        std::vector<std::string> found = maker::scanModels(inf, cp950());
        models = found.size();
    }
    double file = static_cast<double>(inf.size());
    double heap = static_cast<double>(heapPeak.load()) / file;
    double rss = static_cast<double>(statusBytes("VmHWM") - startRss) / file;
    std::printf(
        "peak memory, %zu MiB (%zu models): heap %.2f x the file, the file included; "
        "resident set growth since start %.2f x (target at most 3)\n",
        mib, models, heap, rss);
    return heap <= kHeapTarget ? 0 : 1;
}

int spawnPeak(std::size_t mib) {
    std::string flag = "--peak-of=" + std::to_string(mib);
    char self[] = "/proc/self/exe";
    char* args[] = {self, flag.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, self, nullptr, nullptr, args, environ) != 0)
        return 1;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::array<std::size_t, 3> kDefaultSizes{1, 10, 100};  // MiB
    std::vector<std::size_t> sizes(kDefaultSizes.begin(), kDefaultSizes.end());
    constexpr std::string_view kPeakOf = "--peak-of=";
    constexpr std::string_view kSizes = "--sizes=";
    bool peak = false;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with(kPeakOf)) {
            return measurePeak(std::stoul(std::string(arg.substr(kPeakOf.size()))));
        } else if (arg.starts_with(kSizes)) {
            sizes.clear();
            for (std::size_t at = kSizes.size(); at < arg.size();) {
                std::size_t comma = std::min(arg.find(',', at), arg.size());
                sizes.push_back(std::stoul(std::string(arg.substr(at, comma - at))));
                at = comma + 1;
            }
        } else if (arg == "--peak") {
            peak = true;
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data()))
        return 1;
    for (std::size_t mib : sizes) {
        std::string suffix = std::to_string(mib) + "MiB";
        benchmark::RegisterBenchmark(("decode950/" + suffix).c_str(), decodeBench, mib)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("scan/" + suffix).c_str(), scanBench, mib)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("read/" + suffix).c_str(), readBench, mib)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decodeUtf8/" + suffix).c_str(), decodeUtf8Bench, mib)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("scanUtf8/" + suffix).c_str(), scanUtf8Bench, mib)
            ->Unit(benchmark::kMillisecond);
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    int status = 0;
    if (peak) {
        for (std::size_t mib : sizes)
            status |= spawnPeak(mib);
    }
    return status;
}
