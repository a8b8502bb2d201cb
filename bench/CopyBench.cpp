// Copy engine benchmark: the engine against its floor (13 ms per copied file and
// created folder, plus a plain CreateDirectoryA/CopyFileA loop over the same
// items), on trees of small files, a deep tree and a few large files, into empty
// and into partly up-to-date destinations. Also the memory of the process
// while the engine runs, sampled from the engine's own message pump.
// Columns: engine and floor time (best of the repeats), their ratio, the plain
// loop alone, what one Sleep(13) really took here, the highest working set and
// private bytes of the process seen during the engine's runs of that tree.
// Usage: copy_bench.exe [repeats]; "prepare N" makes tree N for bench/copy's
// run of the whole command ./tavimore LnCopy (see PrepareForCommand).
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "CopyEngine.h"
#include "HostKit.h"
#include "ModuleState.h"

namespace {

const DWORD StepSleepMs = 13;

struct Item {
    std::string relative;  // below the source and destination roots
    bool folder;
    DWORD size;            // files only
};

// How a file of the tree stands at the destination before the run.
enum Standing { Missing, UpToDate, Older };

struct Scenario {
    const char* name;
    std::vector<Item> items;        // parents before children
    std::vector<Standing> standing; // per item (folders: Missing or UpToDate)
};

std::string root;  // C:\cbNNNN
std::string SourceRoot() { return root + "\\s"; }
std::string DestinationRoot() { return root + "\\d"; }

bool WriteSized(const std::string& path, DWORD size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    static std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + size);
    DWORD left = size;
    bool ok = true;
    while (left && ok) {
        DWORD chunk = left < block.size() ? left : static_cast<DWORD>(block.size());
        DWORD written = 0;
        ok = WriteFile(file, block.data(), chunk, &written, nullptr) && written == chunk;
        left -= chunk;
    }
    CloseHandle(file);
    return ok;
}

void SetWriteTime(const std::string& path, DWORD highDelta) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FILETIME time;
    GetFileTime(file, nullptr, nullptr, &time);
    time.dwHighDateTime -= highDelta;
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

bool MakeSource(const Scenario& scenario) {
    RemoveTree(SourceRoot());
    if (!CreateDirectoryA(SourceRoot().c_str(), nullptr)) return false;
    for (const Item& item : scenario.items) {
        std::string path = SourceRoot() + "\\" + item.relative;
        if (item.folder ? !CreateDirectoryA(path.c_str(), nullptr) : !WriteSized(path, item.size)) {
            fprintf(stderr, "cannot make %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

// Puts the destination in its state before the run: the top item's folder
// with what is up to date or older already there.
bool MakeDestination(const Scenario& scenario) {
    RemoveTree(DestinationRoot());
    if (!CreateDirectoryA(DestinationRoot().c_str(), nullptr)) return false;
    for (size_t i = 0; i < scenario.items.size(); ++i) {
        const Item& item = scenario.items[i];
        if (scenario.standing[i] == Missing) continue;
        std::string from = SourceRoot() + "\\" + item.relative;
        std::string to = DestinationRoot() + "\\" + item.relative;
        if (item.folder) {
            if (!CreateDirectoryA(to.c_str(), nullptr)) return false;
        } else {
            if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return false;
            if (scenario.standing[i] == Older) SetWriteTime(to, 1000);  // about 7 minutes older
        }
    }
    return true;
}

struct Counts {
    DWORD files;
    DWORD folders;
};

Counts WorkOf(const Scenario& scenario) {
    Counts counts = {0, 0};
    for (size_t i = 0; i < scenario.items.size(); ++i) {
        if (scenario.standing[i] == UpToDate) continue;
        ++(scenario.items[i].folder ? counts.folders : counts.files);
    }
    return counts;
}

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The plain loop over the same work the engine has to do.
double TimePlainLoop(const Scenario& scenario) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (size_t i = 0; i < scenario.items.size(); ++i) {
        if (scenario.standing[i] == UpToDate) continue;
        const Item& item = scenario.items[i];
        std::string from = SourceRoot() + "\\" + item.relative;
        std::string to = DestinationRoot() + "\\" + item.relative;
        BOOL ok = item.folder ? CreateDirectoryA(to.c_str(), nullptr) : CopyFileA(from.c_str(), to.c_str(), FALSE);
        if (!ok) fprintf(stderr, "plain loop failed on %s\n", to.c_str());
    }
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

SIZE_T peakWorkingSet = 0;
SIZE_T peakPrivate = 0;

void SampleMemory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return;
    if (counters.WorkingSetSize > peakWorkingSet) peakWorkingSet = counters.WorkingSetSize;
    if (counters.PagefileUsage > peakPrivate) peakPrivate = counters.PagefileUsage;
}

void CALLBACK SampleTimer(HWND, UINT, UINT_PTR, DWORD) { SampleMemory(); }

// What Sleep(13) really takes on this machine now, in ms.
double MeasureSleep() {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < 20; ++i) Sleep(StepSleepMs);
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end) / 20;
}

struct EngineRun {
    double ms;
    CopyCounters counters;
};

// Runs the engine as the copy command does, with a result list and a status
// text control, new and update rules, over the scenario's top items.
EngineRun TimeEngine(HostSession& session, HWND list, HWND status, const Scenario& scenario) {
    std::vector<std::string> tops;
    for (const Item& item : scenario.items)
        if (item.relative.find('\\') == std::string::npos) tops.push_back(SourceRoot() + "\\" + item.relative);
    std::vector<char*> selection;
    for (std::string& top : tops) selection.push_back(&top[0]);

    ClearModuleState();
    HostContext* context = session.context;
    moduleState.context = context;
    moduleState.pathPointer = context->pathBuffer;
    moduleState.workPointer = context->workBuffer;
    moduleState.findDataPointer = &context->findData;
    SetSlot(SlotOpFlags, OpNew | OpUpdate | OpRunning);
    SetSlot(SlotSelectionCount, selection.size());
    moduleState.selection = selection.data();
    moduleState.pathCallback = HostPathCallback;
    SetSlot(SlotHostWindow, reinterpret_cast<ULONG_PTR>(session.window));
    SetSlot(SlotControl1, reinterpret_cast<ULONG_PTR>(list));
    SetSlot(SlotControl2, reinterpret_cast<ULONG_PTR>(status));
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::string destination = DestinationRoot() + "\\";
    strcpy(context->pathBuffer, destination.c_str());

    UINT_PTR timer = SetTimer(nullptr, 0, 100, SampleTimer);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    RunCopyJob(nullptr, context->pathBuffer + destination.size());
    QueryPerformanceCounter(&end);
    KillTimer(nullptr, timer);
    SampleMemory();
    EngineRun run = {Milliseconds(start, end), moduleState.counters};
    return run;
}

void AddSmallTree(Scenario& scenario, int folders, int filesPerFolder, bool partly) {
    scenario.items.push_back({"small", true, 0});
    scenario.standing.push_back(partly ? UpToDate : Missing);
    for (int f = 0; f < folders; ++f) {
        std::string folder = "small\\f" + std::to_string(f);
        scenario.items.push_back({folder, true, 0});
        scenario.standing.push_back(partly ? UpToDate : Missing);
        for (int i = 0; i < filesPerFolder; ++i) {
            scenario.items.push_back({folder + "\\file" + std::to_string(i) + ".txt", false,
                                      static_cast<DWORD>(512 + (i * 37) % 3584)});
            // Partly: half up to date, a quarter older, a quarter missing.
            Standing standing = !partly ? Missing : i % 4 < 2 ? UpToDate : i % 4 == 2 ? Older : Missing;
            scenario.standing.push_back(standing);
        }
    }
}

void AddDeepTree(Scenario& scenario, int levels) {
    std::string folder = "a";
    for (int level = 0; level < levels; ++level) {
        scenario.items.push_back({folder, true, 0});
        scenario.standing.push_back(Missing);
        scenario.items.push_back({folder + "\\f", false, 100});
        scenario.standing.push_back(Missing);
        folder += "\\a";
    }
}

void AddLargeFiles(Scenario& scenario, int count, DWORD size, bool partly) {
    scenario.items.push_back({"large", true, 0});
    scenario.standing.push_back(partly ? UpToDate : Missing);
    for (int i = 0; i < count; ++i) {
        scenario.items.push_back({"large\\big" + std::to_string(i) + ".bin", false, size});
        scenario.standing.push_back(!partly ? Missing : i % 2 ? Older : UpToDate);
    }
}

// The trees every table runs on.
std::vector<Scenario> MakeScenarios() {
    std::vector<Scenario> scenarios(7);
    scenarios[0].name = "100 small files, empty";
    AddSmallTree(scenarios[0], 10, 10, false);
    scenarios[1].name = "1000 small files, empty";
    AddSmallTree(scenarios[1], 10, 100, false);
    scenarios[2].name = "1000 small files, partly current";
    AddSmallTree(scenarios[2], 10, 100, true);
    scenarios[3].name = "deep tree 100 levels, empty";
    AddDeepTree(scenarios[3], 100);
    scenarios[4].name = "deep tree 10 levels, empty";
    AddDeepTree(scenarios[4], 10);
    scenarios[5].name = "4 x 32 MiB, empty";
    AddLargeFiles(scenarios[5], 4, 32u << 20, false);
    scenarios[6].name = "4 x 32 MiB, partly current";
    AddLargeFiles(scenarios[6], 4, 32u << 20, true);
    return scenarios;
}

// "prepare N": makes tree N for a run of the whole command (bench/copy runs
// ./tavimore LnCopy on it): source, destination, the plain loop timed, the
// destination made again. Prints one tab-separated line: files, folders, loop
// ms, floor ms, name, destination, then the selected top items.
int PrepareForCommand(size_t index) {
    std::vector<Scenario> scenarios = MakeScenarios();
    if (index >= scenarios.size()) return 2;
    const Scenario& scenario = scenarios[index];
    CreateDirectoryA(root.c_str(), nullptr);
    if (!MakeSource(scenario) || !MakeDestination(scenario)) return 1;
    double loop = TimePlainLoop(scenario);
    if (!MakeDestination(scenario)) return 1;
    Counts work = WorkOf(scenario);
    double floor = StepSleepMs * static_cast<double>(work.files + work.folders) + loop;
    printf("%lu\t%lu\t%.0f\t%.0f\t%s\t%s", work.files, work.folders, loop, floor, scenario.name,
           DestinationRoot().c_str());
    for (const Item& item : scenario.items)
        if (item.relative.find('\\') == std::string::npos) printf("\t%s\\%s", SourceRoot().c_str(), item.relative.c_str());
    printf("\n");
    return 0;
}

}  // namespace

// Usage: copy_bench.exe [repeats] | prepare N | count | clean
int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "prepare") == 0) {
        root = "C:\\cbcommand";
        return argc > 2 ? PrepareForCommand(static_cast<size_t>(atoi(argv[2]))) : 2;
    }
    if (argc > 1 && strcmp(argv[1], "count") == 0) {
        printf("%u\n", static_cast<unsigned>(MakeScenarios().size()));
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "clean") == 0) {
        root = "C:\\cbcommand";
        RemoveTree(root);
        return 0;
    }
    int repeats = argc > 1 ? atoi(argv[1]) : 1;
    if (repeats < 1) repeats = 1;
    root = "C:\\cb" + std::to_string(GetCurrentProcessId() % 10000);
    RemoveTree(root);
    if (!CreateDirectoryA(root.c_str(), nullptr)) {
        fprintf(stderr, "cannot make %s\n", root.c_str());
        return 1;
    }
    HostSession session;
    if (!OpenHostSession(session)) return 1;
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | WS_VSCROLL | LBS_EXTENDEDSEL, 0, 0, 400, 200, nullptr,
                                nullptr, nullptr, nullptr);
    HWND status = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 60, nullptr, nullptr, nullptr, nullptr);

    std::vector<Scenario> scenarios = MakeScenarios();

    printf("%-34s %5s %5s %9s %9s %6s %8s %8s %9s %8s\n", "tree", "files", "dirs", "engine ms", "floor ms",
           "ratio", "loop ms", "sleep ms", "peakWS KB", "priv KB");
    int status_code = 0;
    for (const Scenario& scenario : scenarios) {
        if (!MakeSource(scenario)) return 1;
        Counts work = WorkOf(scenario);
        double bestEngine = 0, bestLoop = 0, sleep = 0;
        EngineRun last = {};
        peakWorkingSet = peakPrivate = 0;
        for (int r = 0; r < repeats; ++r) {
            if (!MakeDestination(scenario)) return 1;
            double loop = TimePlainLoop(scenario);
            if (!MakeDestination(scenario)) return 1;
            EngineRun run = TimeEngine(session, list, status, scenario);
            if (r == 0 || loop < bestLoop) bestLoop = loop;
            if (r == 0 || run.ms < bestEngine) bestEngine = run.ms;
            sleep += MeasureSleep() / repeats;
            last = run;
        }
        if (last.counters.filesCopied != work.files || last.counters.foldersCreated != work.folders ||
            last.counters.errors) {
            fprintf(stderr, "%s: engine copied %lu files, made %lu folders, %lu errors; expected %lu and %lu\n",
                    scenario.name, last.counters.filesCopied, last.counters.foldersCreated, last.counters.errors,
                    work.files, work.folders);
            status_code = 1;
        }
        double floor = StepSleepMs * static_cast<double>(work.files + work.folders) + bestLoop;
        printf("%-34s %5lu %5lu %9.0f %9.0f %6.3f %8.0f %8.2f %9lu %8lu\n", scenario.name, work.files, work.folders,
               bestEngine, floor, bestEngine / floor, bestLoop, sleep, static_cast<unsigned long>(peakWorkingSet / 1024),
               static_cast<unsigned long>(peakPrivate / 1024));
        fflush(stdout);
    }
    RemoveTree(root);
    DestroyWindow(list);
    DestroyWindow(status);
    CloseHostSession(session);
    return status_code;
}
