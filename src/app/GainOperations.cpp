#include "GainOperations.h"

#include "Exception.h"
#include "ITunesSession.h"
#include "ItemSource.h"
#include "JobHost.h"
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

namespace {

constexpr int kAnalyzingStringId = 152;
constexpr int kApplyingStringId = 153;
constexpr int kRefreshingStringId = 154;
constexpr int kUndoingStringId = 155;
constexpr int kRemoveTagsStringId = 156;
constexpr int kConstantGainStringId = 164;
constexpr int kUnknownFileStringId = 190;

const std::wstring kAlbumRowName = L"\"Album\"";

// A field of a data row: absent when it holds no number ("NA").
OptionalReal fieldValue(const std::wstring& field) {
    std::optional<double> number = toolRealIfNumber(field);
    return number ? OptionalReal::of(*number) : OptionalReal::absent();
}

} // namespace

GainOperations::GainOperations(const Context& context, const JobParameters& job,
                               ITunesSession* session)
    : context(context), job(job), session(session) {}

void GainOperations::process(ItemSource& item, int itemIndex, int done, int total) {
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
    }
    if (gainAdjust == 0) {
        return;
    }
    setStatus(item, kApplyingStringId);
    bool applied = runChange(OpApply, gainAdjust, done, total, item);
    bool readBackDone = readBack(done, total, item);
    if (applied && readBackDone) {
        stamp(item);
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
        gainAdjust = std::min(job.constantGainSteps, limit);
    }
    if (gainAdjust == 0) {
        return;
    }
    setStatus(item, kConstantGainStringId);
    bool applied = runChange(OpApply, gainAdjust, done, total, item);
    bool readBackDone = readBack(done, total, item);
    if (applied && readBackDone) {
        stamp(item);
    }
}

// Values are read back only for an item that had them; an undo that reported
// an error is read back too, since it may have changed some of the files.
void GainOperations::undoGain(ItemSource& item, int done, int total) {
    setStatus(item, kUndoingStringId);
    int gainAdjust = 0;
    bool hadValues = item.getGlobalGainAdjust(gainAdjust);
    bool undone = runChange(OpUndo, 0, done, total, item);
    if (!hadValues) {
        return;
    }
    readBack(done, total, item);
    if (undone) {
        stamp(item);
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
bool GainOperations::runChange(ToolOp op, int steps, int done, int total, ItemSource& item) {
    forgetStoredValues(item);
    changedFiles = true;
    return runTool(op, steps, done, total, item, OnCancel::StopReading);
}

bool GainOperations::readBack(int done, int total, ItemSource& item) {
    return runTool(OpCheckTags, 0, done, total, item, OnCancel::ReadToEnd);
}

void GainOperations::forgetStoredValues(ItemSource& item) {
    const std::vector<int> ids = item.getTrackIds();
    for (int id : ids) {
        if (const TrackRecord* track = context.database.findTrack(id)) {
            context.database.clearTrackValues(*track);
        }
    }
}

void GainOperations::stamp(ItemSource& item) {
    if (session) {
        session->timestampComments(context.database, item.getTrackIds());
    }
}

void GainOperations::setStatus(ItemSource& item, int stringId) {
    context.host.setStatusWithItem(item.getName(), stringId);
}

bool GainOperations::inAlbumScope() const {
    return job.scope != JobScope::TracksView;
}

bool GainOperations::runGainTool(ToolOp op, int steps, int done, int total, ItemSource& item) {
    return runTool(op, steps, done, total, item, OnCancel::StopReading);
}

bool GainOperations::runTool(ToolOp op, int steps, int done, int total, ItemSource& item,
                             OnCancel onCancel) {
    // The window is closing: no new child.
    if (context.stopper.stopped()) {
        return false;
    }
    RunAACGain tool(context.gainToolPath);
    const std::vector<int> ids = item.getTrackIds();
    TrackSource trackInAlbum(context.tracksView);
    const std::wstring fileArgs = item.getFileArgs();

    // In an album run, status part 1 names the file the tool works on; a tool
    // that reports more files than the item has leaves the last one named.
    std::size_t k = 0;
    auto nameNextFile = [&] {
        if (k < ids.size()) {
            trackInAlbum.selectTrack(ids[k++]);
            context.host.setTrackStatus(trackInAlbum.getName());
        }
    };
    if (inAlbumScope()) {
        nameNextFile();
    }
    const int channel = job.kind == JobKind::ConstantGain ? job.constantGainChannel : 0;

    AttachedTool attached(context.stopper, tool);
    ParseAACGain parser(tool.run(op, steps, fileArgs, channel));
    std::vector<std::wstring> fileNames;
    std::wstring errorText;
    bool errorSeen = false;
    int lastPercent = 0;
    while (LineKind kind = parser.nextLine()) {
        if (kind == DataRow && (op == OpCheckTags || op == OpAnalyze)) {
            std::wstring unknownFile;
            storeDataRow(op, parser, fileNames, unknownFile);
            if (!unknownFile.empty()) {
                errorSeen = true;
                errorText = unknownFile;
            }
        } else if (kind == ProgressLine) {
            int percent = parser.getPercent();
            if (percent < lastPercent) { // a new file has begun
                ++done;
                if (inAlbumScope()) {
                    nameNextFile();
                }
            }
            lastPercent = percent;
            context.host.setFileProgress(percent);
            // The analysis inside Apply Gain moves the total bar only per file.
            if (job.kind == JobKind::ApplyGain && op == OpAnalyze) {
                percent = 0;
            }
            context.host.setTotalProgress(total > 0 ? done * 100 / total + percent / total : 0);
        } else if (kind == ErrorLine) {
            errorSeen = true;
            errorText = parser.getFields()[0];
        }
        if (onCancel == OnCancel::StopReading && context.cancelRequested) {
            break;
        }
    }
    if (inAlbumScope()) {
        context.host.setTrackStatus(L"");
    }
    if (errorSeen) {
        showToolError(errorText);
    }
    tool.terminate();
    tool.close();
    return !errorSeen;
}

// A file row stores the file's values; the album row gives every file of an
// album run its album values. A file the database does not know is reported
// through unknownFile, as an error of the run.
void GainOperations::storeDataRow(ToolOp op, const ParseAACGain& parser,
                                  std::vector<std::wstring>& fileNames, std::wstring& unknownFile) {
    VeltoDatabase& database = context.database;
    const std::wstring& name = parser.getFirstToken();
    const auto& fields = parser.getFields();
    if (name == kAlbumRowName) {
        if (inAlbumScope()) {
            for (const std::wstring& fileName : fileNames) {
                database.setAlbumResult(fileName, fieldValue(fields[2]), fieldValue(fields[1]));
            }
        }
        return;
    }
    if (!database.knowsFile(name)) {
        std::optional<std::wstring> format =
            context.tracksView.strings().load(kUnknownFileStringId);
        unknownFile = format ? formatMessage(*format, {name}) : name;
        return;
    }
    database.setTrackResult(name, fieldValue(fields[2]), fieldValue(fields[1]));
    fileNames.push_back(name);
    if (!inAlbumScope()) {
        database.clearAlbumResult(name);
    } else if (op == OpCheckTags) {
        database.setAlbumResult(name, fieldValue(fields[7]), fieldValue(fields[6]));
    }
}

// Shown once after the run, with the last error; No stops the job after this
// item. Nothing is asked while the window closes.
void GainOperations::showToolError(std::wstring errorText) {
    if (!errorText.empty() && static_cast<unsigned>(errorText.back()) > 128) {
        errorText.pop_back(); // the end mark of an unterminated last line
    }
    if (context.stopper.stopped()) {
        return;
    }
    if (!context.host.askToContinueAfterToolError(errorText)) {
        context.cancelRequested = true;
    }
}
