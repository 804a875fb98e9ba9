#pragma once

#include "FileScreen.h"
#include "JobParameters.h"
#include "JobReport.h"
#include "ToolFileArguments.h"
#include "ToolOp.h"

#include <atomic>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class ItemSource;
class ITunesSession;
class JobHost;
class ParseAACGain;
class Preferences;
class ToolStopper;
class TrackSource;
class VeltoDatabase;

// What a job does to one item: for each job kind, which gain tool runs to
// make on the loaded item and in which order, how the tool's output becomes
// stored values, how the bars move within a run, how a tool error is shown
// and may stop the job, and when the iTunes comment is stamped. Runs on the
// job thread; made once per job.
class GainOperations {
public:
    struct Context {
        JobHost& host;
        VeltoDatabase& database;
        const Preferences& preferences;
        const TrackSource& tracksView; // copied to name the files of an album run
        const std::wstring& gainToolPath;
        std::atomic<bool>& cancelRequested;
        ToolStopper& stopper;
        // How files are named to the tool; by default as the tool at
        // gainToolPath takes them.
        const ToolFileArguments* toolArguments = nullptr;
    };

    // session is the job's iTunes connection for the stamps, or nullptr.
    GainOperations(const Context& context, const JobParameters& job, ITunesSession* session);

    // The kind's work for the item, which the caller has loaded from the row
    // with data index itemIndex. done and total count the job's finished and
    // total tracks, for the total bar.
    void process(ItemSource& item, int itemIndex, int done, int total);

    // Runs the tool once over those of the item's files that it can take and
    // stores what it reports; true when it ran and reported no error. Files
    // held back are noted in the report.
    bool runGainTool(ToolOp op, int steps, int done, int total, ItemSource& item);

    // Some run of this job may have changed audio files, so the stored
    // database file no longer matches them.
    bool filesMayHaveChanged() const { return changedFiles; }

    // What the job could not do so far.
    const JobReport& report() const { return jobReport; }

    // The items done as asked so far, and those with a file skipped or failed.
    struct Outcome {
        int done = 0;
        int notDone = 0;
    };
    Outcome outcome() const { return items; }

private:
    // Whether a run stops reading at a cancel: a read-back after a change
    // reads to the end, so that the stored values follow the files.
    enum class OnCancel { StopReading, ReadToEnd };

    void doKindsWork(ItemSource& item, int itemIndex, int done, int total);
    void analyze(ItemSource& item, int done, int total);
    void clearData(ItemSource& item);
    void applyGain(ItemSource& item, int itemIndex, int done, int total);
    void constantGain(ItemSource& item, int itemIndex, int done, int total);
    void undoGain(ItemSource& item, int done, int total);
    void removeTags(ItemSource& item, int done, int total);

    // One file of an item that may go to the tool: its path, the database's
    // name of it, and the text that names it on the tool's command line (the
    // path, or its short form for a tool that speaks only the ANSI code page).
    struct ToolFile {
        int trackId = 0;
        std::wstring path;
        std::wstring argument;
    };
    // The files of one run and their command-line arguments.
    struct RunPlan {
        std::vector<ToolFile> files;
        std::wstring fileArgs;
    };
    struct RunResult {
        bool ran = false; // some file could go to the tool
        bool errorSeen = false;
        std::vector<int> changedTrackIds; // whose files the tool reported changed

        bool succeeded() const { return ran && !errorSeen; }
    };

    void undoFirst(ItemSource& item, int done, int total);
    RunResult runChange(ToolOp op, int steps, int done, int total, ItemSource& item);
    bool readBack(int done, int total, ItemSource& item);
    void forgetStoredValues(const RunPlan& plan);
    void stamp(const std::vector<int>& trackIds);
    void noteLimit(ItemSource& item, int steps);
    void setStatus(ItemSource& item, int stringId);
    bool inAlbumScope() const;

    std::optional<RunPlan> planRun(ItemSource& item);
    void markScreened(const std::wstring& path, FileProblem problem);
    void holdBack(int trackId, const FileScreen::Verdict& verdict);
    void failUnnameable(int trackId, const std::wstring& path);
    std::wstring argumentsFor(const std::vector<ToolFile>& files) const;

    struct ToolRun;
    RunResult runTool(ToolOp op, int steps, int done, int total, ItemSource& item,
                      OnCancel onCancel);
    RunResult runPlanned(const RunPlan& plan, ToolOp op, int steps, int done, int total,
                         OnCancel onCancel);
    void nameNextFile(ToolRun& run);
    void showProgress(ToolRun& run, int percent);
    void storeDataRow(ToolRun& run, const ParseAACGain& parser);
    void noteApplying(ToolRun& run, const std::wstring& line);
    void noteUndoRow(ToolRun& run, const ParseAACGain& parser);
    void noteToolError(ToolRun& run, const std::wstring& errorText);
    void recordFailures(const ToolRun& run);
    void restoreNames(ToolRun& run);
    void showToolError(std::wstring errorText);

    Context context;
    JobParameters job;
    ITunesSession* session;
    bool changedFiles = false;
    FileScreen screen;
    const ToolFileArguments toolArguments;
    JobReport jobReport;
    Outcome items;
    bool itemWorked = false;  // some run of the current item did what it was asked
    bool quietErrors = false; // the user chose not to be asked again in this job
};
