#include "GainOperations.h"

#include "CommandLineWords.h"
#include "Exception.h"
#include "ItemSource.h"
#include "JobHost.h"
#include "JobProgress.h"
#include "JobState.h"
#include "MessageFormat.h"
#include "ParseAACGain.h"
#include "Preferences.h"
#include "RunAACGain.h"
#include "StringTable.h"
#include "ToolNumbers.h"
#include "ToolStopper.h"
#include "TrackSource.h"
#include "VeltoDatabase.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kAnalyzingStringId = 152;
constexpr int kApplyingStringId = 153;
constexpr int kRefreshingStringId = 154;
constexpr int kUndoingStringId = 155;
constexpr int kRemoveTagsStringId = 156;
constexpr int kConstantGainStringId = 164;
constexpr int kUnknownFileStringId = 190;
constexpr int kLimitedStringId = 251;
constexpr int kNameOutsideCodePageStringId = 254;
constexpr int kNameNotRestoredStringId = 255;

const std::wstring kAlbumRowName = L"\"Album\"";

// A field of a data row: absent when it holds no number ("NA").
OptionalReal fieldValue(const std::wstring& field) {
    std::optional<double> number = toolRealIfNumber(field);
    return number ? OptionalReal::of(*number) : OptionalReal::absent();
}

// The tool's tags keep no gain beyond this many dB either way: a file 12 dB
// too loud reads back as -9.999999.
constexpr double kTagGainLimitDb = 9.999999;

// A gain read back from the tags, unless it sits at the tags' limit and the
// analysis of this job measured the same direction further out: the stored
// value is then the truth (forgotten values are absent before every change,
// so a stored value at a read-back is always this job's own analysis).
OptionalReal readBackGain(const OptionalReal& readBack, const OptionalReal& measured) {
    const bool atLimit = readBack.present && std::fabs(readBack.value) >= kTagGainLimitDb;
    const bool measuredBeyond = measured.present &&
                                std::fabs(measured.value) > std::fabs(readBack.value) &&
                                (measured.value < 0) == (readBack.value < 0);
    return atLimit && measuredBeyond ? measured : readBack;
}

// An error text without its line end (or the end mark of an unterminated
// last line), for the job's report.
std::wstring withoutLineEnd(std::wstring text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' ||
                             static_cast<unsigned>(text.back()) > 0xFFFE)) {
        text.pop_back();
    }
    return text;
}

} // namespace

GainOperations::GainOperations(const Context& context, const JobParameters& job, JobState& state,
                               JobProgress& progress, Stamp stamp)
    : context(context), job(job), state(state), progress(progress), stampComments(std::move(stamp)),
      toolArguments(context.toolArguments ? *context.toolArguments
                                          : ToolFileArguments::forTool(context.gainToolPath)) {}

// Counts the item as done when some run did what it was asked and no file of
// it was skipped or failed.
void GainOperations::process(ItemSource& item, int itemIndex, int done, int total) {
    const int notDoneBefore = notDoneNoted;
    itemWorked = false;
    doKindsWork(item, itemIndex, done, total);
    if (notDoneNoted > notDoneBefore) {
        ++state.itemsNotDone;
    } else if (itemWorked) {
        ++state.itemsDone;
    }
}

bool GainOperations::processRow(ItemSource& item, int key, std::optional<int> rowPosition, int done,
                                int total) {
    // An item without tracks (a selection of which no row could be loaded)
    // has no files to run the tool on.
    if (item.selectRow(key) && !item.getTrackIds().empty()) {
        process(item, key, done, total);
        if (context.stopper.stopped()) {
            return false;
        }
        context.host.refreshList(false);
        if (rowPosition) {
            context.host.scrollRowIntoView(*rowPosition);
        }
    }
    return !context.cancelRequested;
}

void GainOperations::doKindsWork(ItemSource& item, int itemIndex, int done, int total) {
    switch (job.kind) {
    case JobKind::Analyze:
        return analyze(item, done, total);
    case JobKind::ClearData:
        return clearData(item);
    case JobKind::ApplyGain:
        return applyGain(item, itemIndex, done, total);
    case JobKind::ConstantGain:
        return constantGain(item, itemIndex, done, total);
    case JobKind::UndoGain:
        return undoGain(item, done, total);
    case JobKind::RemoveTags:
        return removeTags(item, done, total);
    default:
        checkResult(-1, L".\\MainDialog", 942);
    }
}

// An item that has been analysed is left alone ("Clear Data" first to analyse
// it again).
void GainOperations::analyze(ItemSource& item, int done, int total) {
    int gainAdjust = 0;
    if (item.getGlobalGainAdjust(gainAdjust)) {
        return;
    }
    if (inAlbumScope() && context.preferences.getPrefBool(PrefIndex::AlbumUndo)) {
        undoFirst(item, done, total);
    }
    setStatus(item, kAnalyzingStringId);
    if (runGainTool(OpAnalyze, 0, done, total, item)) {
        runGainTool(OpCheckTags, 0, done, total, item);
    }
}

void GainOperations::clearData(ItemSource& item) {
    setStatus(item, kRefreshingStringId);
    item.clearData();
    itemWorked = true;
}

void GainOperations::applyGain(ItemSource& item, int itemIndex, int done, int total) {
    int gainAdjust = 0;
    if (!item.getGlobalGainAdjust(gainAdjust)) {
        if (inAlbumScope() && context.preferences.getPrefBool(PrefIndex::AlbumUndo)) {
            undoFirst(item, done, total);
        }
        setStatus(item, kAnalyzingStringId);
        runGainTool(OpAnalyze, 0, done, total, item);
        item.reset();
        item.selectRow(itemIndex);
        if (!item.getGlobalGainAdjust(gainAdjust)) {
            return;
        }
    }
    bool willClip = false;
    if (context.preferences.getPrefBool(PrefIndex::DontClip) && item.getWillClip(willClip) &&
        willClip) {
        item.getMaxNoClipGlobalGainAdjust(gainAdjust);
        noteLimit(item, gainAdjust);
    }
    if (gainAdjust == 0) {
        return;
    }
    setStatus(item, kApplyingStringId);
    const RunResult applied = runChange(OpApply, gainAdjust, done, total, item);
    const bool readBackDone = applied.ran && readBack(done, total, item);
    if (applied.succeeded() && readBackDone) {
        stamp(applied.changedTrackIds);
    }
}

// A constant gain is limited by Don't Clip only when it changes both channels.
void GainOperations::constantGain(ItemSource& item, int itemIndex, int done, int total) {
    int gainAdjust = job.constantGainSteps;
    if (context.preferences.getPrefBool(PrefIndex::DontClip) && job.constantGainChannel == 0) {
        int limit = 0;
        if (!item.getMaxNoClipGlobalGainAdjust(limit)) {
            setStatus(item, kAnalyzingStringId);
            runGainTool(OpAnalyze, 0, done, total, item);
            item.reset();
            item.selectRow(itemIndex);
            if (!item.getMaxNoClipGlobalGainAdjust(limit)) {
                return;
            }
        }
        if (limit < job.constantGainSteps) {
            noteLimit(item, limit);
        }
        gainAdjust = std::min(job.constantGainSteps, limit);
    }
    if (gainAdjust == 0) {
        return;
    }
    setStatus(item, kConstantGainStringId);
    const RunResult applied = runChange(OpApply, gainAdjust, done, total, item);
    const bool readBackDone = applied.ran && readBack(done, total, item);
    if (applied.succeeded() && readBackDone) {
        stamp(applied.changedTrackIds);
    }
}

// Values are read back only for an item that had them; an undo that reported
// an error is read back too, since it may have changed some of the files.
void GainOperations::undoGain(ItemSource& item, int done, int total) {
    setStatus(item, kUndoingStringId);
    int gainAdjust = 0;
    bool hadValues = item.getGlobalGainAdjust(gainAdjust);
    const RunResult undone = runChange(OpUndo, 0, done, total, item);
    if (!hadValues || !undone.ran) {
        return;
    }
    readBack(done, total, item);
    if (undone.succeeded()) {
        stamp(undone.changedTrackIds);
    }
}

void GainOperations::removeTags(ItemSource& item, int done, int total) {
    if (context.preferences.getPrefBool(PrefIndex::RemoveTagsUndo)) {
        undoFirst(item, done, total);
    }
    setStatus(item, kRemoveTagsStringId);
    runChange(OpDeleteTags, 0, done, total, item);
    item.clearData();
}

void GainOperations::undoFirst(ItemSource& item, int done, int total) {
    setStatus(item, kUndoingStringId);
    runChange(OpUndo, 0, done, total, item);
}

// A run that may change the files: their stored values are forgotten first,
// so that whatever ends the run (an error, a cancel, the program closing), no
// stored value claims what a file may no longer hold. The read-back or
// analysis that follows stores them again.
GainOperations::RunResult GainOperations::runChange(ToolOp op, int steps, int done, int total,
                                                    ItemSource& item) {
    std::optional<RunPlan> plan = planRun(item);
    if (!plan || context.stopper.stopped()) {
        return {};
    }
    forgetStoredValues(*plan);
    state.filesMayHaveChanged = true;
    return runPlanned(*plan, op, steps, done, total, OnCancel::StopReading);
}

bool GainOperations::readBack(int done, int total, ItemSource& item) {
    return runTool(OpCheckTags, 0, done, total, item, OnCancel::ReadToEnd).succeeded();
}

void GainOperations::forgetStoredValues(const RunPlan& plan) {
    for (const ToolFile& file : plan.files) {
        if (const TrackRecord* track = context.database.findTrack(file.trackId)) {
            context.database.clearTrackValues(*track);
        }
    }
}

// Only the files the tool reported changed are stamped: iTunes copies a
// stamped track to the iPod again.
void GainOperations::stamp(const std::vector<int>& trackIds) {
    if (stampComments && !trackIds.empty()) {
        stampComments(trackIds);
    }
}

void GainOperations::noteLimit(ItemSource& item, int steps) {
    const std::wstring format =
        context.tracksView.strings().load(kLimitedStringId).value_or(std::wstring());
    const std::wstring what = formatMessage(format, {steps});
    for (int trackId : std::vector<int>(item.getTrackIds())) {
        state.report.note(context.database, trackId, JobReport::Kind::Limited, what);
    }
}

void GainOperations::setStatus(ItemSource& item, int stringId) {
    if (!context.stopper.stopped()) {
        progress.itemStatus(item.getName(), stringId);
    }
}

bool GainOperations::inAlbumScope() const {
    return job.scope != JobScope::TracksView;
}

bool GainOperations::runGainTool(ToolOp op, int steps, int done, int total, ItemSource& item) {
    return runTool(op, steps, done, total, item, OnCancel::StopReading).succeeded();
}

// The item's files that the tool can take, each screened afresh (a file may
// have gone or changed since the last run); nothing when none can. The others
// are held back and noted.
std::optional<GainOperations::RunPlan> GainOperations::planRun(ItemSource& item) {
    const std::vector<int> ids = item.getTrackIds();
    const std::vector<std::wstring> paths = splitCommandLine(item.getFileArgs());
    RunPlan plan;
    for (std::size_t i = 0; i < paths.size() && i < ids.size(); ++i) {
        const FileScreen::Verdict verdict = state.screen.check(paths[i]);
        markScreened(paths[i], verdict.problem);
        if (verdict.problem != FileProblem::None) {
            holdBack(ids[i], verdict);
        } else if (std::optional<std::wstring> argument = toolArguments.argumentFor(paths[i])) {
            plan.files.push_back({ids[i], paths[i], std::move(*argument)});
        } else {
            failUnnameable(ids[i], paths[i]);
        }
    }
    if (plan.files.empty()) {
        return std::nullopt;
    }
    plan.fileArgs = argumentsFor(plan.files);
    return plan;
}

// A file the tool failed on keeps its mark until an analysis of it succeeds.
void GainOperations::markScreened(const std::wstring& path, FileProblem problem) {
    if (problem == FileProblem::None) {
        VeltoDatabase::ReadLock tables = context.database.readLock();
        const AACGainRecord* record = context.database.findAACGainRecordByFile(path);
        if (!record || record->problem == FileProblem::ToolFailed) {
            return;
        }
    }
    context.database.setFileProblem(path, problem);
}

void GainOperations::holdBack(int trackId, const FileScreen::Verdict& verdict) {
    state.report.note(context.database, trackId, JobReport::Kind::Skipped,
                      state.screen.describe(verdict, context.tracksView.strings()));
    ++notDoneNoted;
}

// A tool that speaks only the ANSI code page would be given a name with '?'
// for every character outside it, and open no file or another one: the file
// fails before the run, and the report says what to do.
void GainOperations::failUnnameable(int trackId, const std::wstring& path) {
    context.database.setFileProblem(path, FileProblem::ToolFailed);
    const std::wstring format =
        context.tracksView.strings().load(kNameOutsideCodePageStringId).value_or(std::wstring());
    state.report.note(context.database, trackId, JobReport::Kind::Failed,
                      formatMessage(format, {state.screen.toolFormats().toolName(), path}));
    ++notDoneNoted;
}

// A track's file alone in double quotes; an album's files each in double
// quotes and followed by a blank, as the items give them.
std::wstring GainOperations::argumentsFor(const std::vector<ToolFile>& files) const {
    std::wstring arguments;
    for (const ToolFile& file : files) {
        arguments += L'"' + file.argument + L'"';
        if (inAlbumScope()) {
            arguments += L' ';
        }
    }
    return arguments;
}

// What one tool run keeps between the lines of its output.
struct GainOperations::ToolRun {
    ToolRun(ToolOp op, int done, int total, const RunPlan& plan, const TrackSource& tracksView)
        : op(op), done(done), total(total), plan(plan), ids(trackIdsOf(plan)),
          trackInAlbum(tracksView) {}

    static std::vector<int> trackIdsOf(const RunPlan& plan) {
        std::vector<int> ids;
        for (const ToolFile& file : plan.files) {
            ids.push_back(file.trackId);
        }
        return ids;
    }

    const ToolOp op;
    int done;
    const int total;
    const RunPlan& plan;
    const std::vector<int> ids;
    TrackSource trackInAlbum; // names the file the tool works on in an album run
    std::size_t k = 0;        // the next of ids to name
    int lastPercent = 0;
    std::vector<std::wstring> fileNames; // of the rows so far, for the album row
    bool errorSeen = false;
    std::wstring errorText;             // the last error's
    std::map<int, std::wstring> failed; // track id -> the last error the tool gave for its file
    std::set<int> applied;              // tracks whose files the tool began to change
    const ToolFile* applying = nullptr; // the file of the last "Applying" line
    std::set<int> undone;               // tracks whose files an undo changed

    // The file whose argument the text holds (the longest such argument), or none.
    const ToolFile* fileNamedIn(const std::wstring& text) const {
        const ToolFile* named = nullptr;
        for (const ToolFile& file : plan.files) {
            if (text.find(file.argument) != std::wstring::npos &&
                (!named || file.argument.size() > named->argument.size())) {
                named = &file;
            }
        }
        return named;
    }
    // The database's name of a file the tool names in a row: the tool prints
    // a file as it was given it, so a short form maps back to the path whose
    // argument it was.
    const std::wstring& databaseNameOf(const std::wstring& reported) const {
        for (const ToolFile& file : plan.files) {
            if (file.argument == reported) {
                return file.path;
            }
        }
        return reported;
    }
    // The file the tool works on now: an album run's files follow one
    // another as their progress restarts.
    const ToolFile& currentFile() const { return plan.files[k > 0 ? k - 1 : 0]; }
    std::vector<int> changedTrackIds() const {
        std::vector<int> changed;
        for (const ToolFile& file : plan.files) {
            const bool applyDone = applied.count(file.trackId) && !failed.count(file.trackId);
            if (applyDone || undone.count(file.trackId)) {
                changed.push_back(file.trackId);
            }
        }
        return changed;
    }
};

GainOperations::RunResult GainOperations::runTool(ToolOp op, int steps, int done, int total,
                                                  ItemSource& item, OnCancel onCancel) {
    // The window is closing: no new child.
    if (context.stopper.stopped()) {
        return {};
    }
    std::optional<RunPlan> plan = planRun(item);
    if (!plan) {
        return {};
    }
    return runPlanned(*plan, op, steps, done, total, onCancel);
}

GainOperations::RunResult GainOperations::runPlanned(const RunPlan& plan, ToolOp op, int steps,
                                                     int done, int total, OnCancel onCancel) {
    if (context.stopper.stopped()) {
        return {};
    }
    RunAACGain tool(context.gainToolPath);
    ToolRun run(op, done, total, plan, context.tracksView);
    const std::wstring& fileArgs = plan.fileArgs;
    if (inAlbumScope()) {
        nameNextFile(run);
    }
    const int channel = job.kind == JobKind::ConstantGain ? job.constantGainChannel : 0;

    AttachedTool attached(context.stopper, tool);
    ParseAACGain parser(tool.run(op, steps, fileArgs, channel));
    while (LineKind kind = parser.nextLine()) {
        if (kind == DataRow && (op == OpCheckTags || op == OpAnalyze)) {
            storeDataRow(run, parser);
        } else if (kind == ProgressLine) {
            showProgress(run, parser.getPercent());
        } else if (kind == ApplyingLine) {
            noteApplying(run, parser.getLine());
        } else if (kind == UndoRow && op == OpUndo) {
            noteUndoRow(run, parser);
        } else if (kind == ErrorLine) {
            noteToolError(run, parser.getFields()[0]);
        }
        if ((onCancel == OnCancel::StopReading && context.cancelRequested) ||
            context.stopper.stopped()) {
            break;
        }
    }
    if (inAlbumScope() && !context.stopper.stopped()) {
        progress.trackStatus(L"");
    }
    recordFailures(run);
    if (run.errorSeen) {
        showToolError(run.errorText);
    }
    tool.terminate();
    tool.close();
    restoreNames(run);
    if (!run.errorSeen) {
        itemWorked = true;
    }
    return {true, run.errorSeen, run.changedTrackIds()};
}

void GainOperations::noteApplying(ToolRun& run, const std::wstring& line) {
    run.applying = run.fileNamedIn(line);
    if (run.applying) {
        run.applied.insert(run.applying->trackId);
    }
}

// An undo row gives the changes the undo made to each channel; zeros mean that
// the file had nothing to undo.
void GainOperations::noteUndoRow(ToolRun& run, const ParseAACGain& parser) {
    const auto& fields = parser.getFields();
    const ToolFile* file = run.fileNamedIn(parser.getFirstToken());
    if (file && (toolInt(fields[0]) != 0 || toolInt(fields[1]) != 0)) {
        run.undone.insert(file->trackId);
    }
}

// An error belongs to the file it names; one that names none, to the file
// being changed or worked on when it came.
void GainOperations::noteToolError(ToolRun& run, const std::wstring& errorText) {
    run.errorSeen = true;
    run.errorText = errorText;
    const ToolFile* file = run.fileNamedIn(errorText);
    if (!file) {
        file = run.applying ? run.applying : &run.currentFile();
    }
    run.failed[file->trackId] = withoutLineEnd(errorText);
    run.applying = nullptr;
}

// The files the tool failed on are marked in the list and noted for the job's
// end, whether or not the user is asked.
void GainOperations::recordFailures(const ToolRun& run) {
    for (const auto& [trackId, text] : run.failed) {
        for (const ToolFile& file : run.plan.files) {
            if (file.trackId == trackId) {
                context.database.setFileProblem(file.path, FileProblem::ToolFailed);
            }
        }
        state.report.note(context.database, trackId, JobReport::Kind::Failed, text);
        ++notDoneNoted;
    }
}

// A file the tool was given by its short form and changed is called by that
// form now; once the tool has ended it gets its own name back, and a file that
// cannot is reported with both names.
void GainOperations::restoreNames(ToolRun& run) {
    for (const ToolFile& file : run.plan.files) {
        if (ToolFileArguments::restoreName(file.path, file.argument)) {
            continue;
        }
        run.errorSeen = true;
        context.database.setFileProblem(file.path, FileProblem::ToolFailed);
        const std::wstring format =
            context.tracksView.strings().load(kNameNotRestoredStringId).value_or(std::wstring());
        state.report.note(context.database, file.trackId, JobReport::Kind::Failed,
                          formatMessage(format, {file.argument, file.path}));
        ++notDoneNoted;
    }
}

// A tool that reports more files than the item has leaves the last one named.
void GainOperations::nameNextFile(ToolRun& run) {
    if (run.k < run.ids.size()) {
        run.trackInAlbum.selectTrack(run.ids[run.k++]);
        progress.trackStatus(run.trackInAlbum.getName());
    }
}

// A percent lower than the one before means that the next file has begun.
void GainOperations::showProgress(ToolRun& run, int percent) {
    if (percent < run.lastPercent) {
        ++run.done;
        if (inAlbumScope()) {
            nameNextFile(run);
        }
    }
    run.lastPercent = percent;
    progress.fileProgress(percent);
    // The analysis inside Apply Gain moves the total bar only per file.
    if (job.kind == JobKind::ApplyGain && run.op == OpAnalyze) {
        percent = 0;
    }
    progress.totalProgress(run.done, percent, run.total);
}

// A file row stores the file's values; the album row gives every file of an
// album run its album values. A file the database does not know is an error
// of the run.
void GainOperations::storeDataRow(ToolRun& run, const ParseAACGain& parser) {
    VeltoDatabase& database = context.database;
    const std::wstring& name = run.databaseNameOf(parser.getFirstToken());
    const auto& fields = parser.getFields();
    if (name == kAlbumRowName) {
        if (inAlbumScope()) {
            for (const std::wstring& fileName : run.fileNames) {
                database.setAlbumResult(fileName, fieldValue(fields[2]), fieldValue(fields[1]));
            }
        }
        return;
    }
    const AACGainRecord* record = database.findAACGainRecordByFile(name);
    if (!record) {
        std::optional<std::wstring> format =
            context.tracksView.strings().load(kUnknownFileStringId);
        run.errorSeen = true;
        run.errorText = format ? formatMessage(*format, {name}) : name;
        state.report.noteFile(name, JobReport::Kind::Failed, run.errorText);
        ++notDoneNoted;
        return;
    }
    const bool readingBack = run.op == OpCheckTags;
    OptionalReal trackGain = fieldValue(fields[1]);
    if (readingBack) {
        trackGain = readBackGain(trackGain, record->trackGain);
    }
    database.setTrackResult(name, fieldValue(fields[2]), trackGain);
    if (run.op == OpAnalyze && trackGain.present) {
        database.setFileProblem(name, FileProblem::None); // analysed: no longer failed
    }
    run.fileNames.push_back(name);
    if (!inAlbumScope()) {
        database.clearAlbumResult(name);
    } else if (readingBack) {
        database.setAlbumResult(name, fieldValue(fields[7]),
                                readBackGain(fieldValue(fields[6]), record->albumGain));
    }
}

// Shown once after the run, with the last error; No stops the job after this
// item. Nothing is asked while the window closes, nor after the user chose
// not to be asked again in this job.
void GainOperations::showToolError(std::wstring errorText) {
    if (!errorText.empty() && static_cast<unsigned>(errorText.back()) > 128) {
        errorText.pop_back(); // the end mark of an unterminated last line
    }
    std::lock_guard oneAtATime(state.questionLock);
    if (context.stopper.stopped() || state.quietErrors || state.stopStarting) {
        return;
    }
    const ToolErrorAnswer answer = context.host.askToContinueAfterToolError(errorText);
    if (!answer.goOn) {
        // One item at a time: this one stops, its row stays selected. Several:
        // those running finish, and no other starts.
        if (state.severalRunsAtOnce) {
            state.stopStarting = true;
        } else {
            context.cancelRequested = true;
        }
    }
    state.quietErrors = answer.goOn && answer.dontAskAgain;
}
