#include "TrackSource.h"

#include "CellText.h"
#include "ColumnLayout.h"
#include "GainArithmetic.h"
#include "PositionSource.h"
#include "Preferences.h"
#include "StringTable.h"
#include "VeltoDatabase.h"

namespace {

constexpr int kColumnHeaders[TrackSource::kColumnCount] = {132, 133, 134, 135, 136,
                                                           137, 138, 139, 140};
constexpr int kRightAlignedColumns[] = {2, 4, 6, 7};
const ColumnLayout kColumns{PrefIndex::TrackColumnWidths, kColumnHeaders, kRightAlignedColumns};
constexpr int kYesStringId = 149;
constexpr int kMissingStringId = 200;
constexpr int kEmptyStringId = 201;
constexpr int kUnreadableStringId = 202;
constexpr int kNotHandledStringId = 203;

// Placeholders written by queries whose value is not valid.
constexpr double kNoVolume = -1e99;
constexpr int kNoSteps = -999999999;
// How unknown numbers sort: after every known one.
constexpr double kUnknownSortsLast = 1e99;

} // namespace

TrackSource::TrackSource(VeltoDatabase& database, Preferences& preferences,
                         PositionSource& volumeTrackbar, const StringTable& strings)
    : database(database), preferences(preferences), volumeTrackbar(volumeTrackbar),
      stringTable(strings) {
    columnWidths.fill(-1);
}

TrackSource::TrackSource(const TrackSource& other)
    : ItemSource(other), database(other.database), preferences(other.preferences),
      volumeTrackbar(other.volumeTrackbar), stringTable(other.stringTable),
      columnWidths(other.columnWidths) {}

int TrackSource::getCount() {
    VeltoDatabase::ReadLock lock = database.readLock();
    sortKeys.forget();
    return database.currentTrackCount();
}

void TrackSource::setupColumns(ItemListView& list) {
    sortKeys.forget();
    setUpColumns(list, preferences, kColumns, columnWidths);
}

void TrackSource::getCellText(int row, int column, wchar_t* buffer, int length,
                              CellColour& colour) {
    VeltoDatabase::ReadLock lock = database.readLock();
    bool loaded = selectRow(row); // forgets the sort keys
    writeCell(loaded, column, buffer, length, colour);
}

void TrackSource::writeCell(bool loaded, int column, wchar_t* buffer, int length,
                            CellColour& colour) {
    copyCellText(L"", buffer, length);
    if (column == 0) {
        writeNameCell(loaded, buffer, length, colour);
        return;
    }
    if (column == 1) {
        if (trackRecord && trackRecord->album) {
            copyCellText(*trackRecord->album, buffer, length);
        }
        return;
    }
    if (!loaded) {
        return;
    }
    auto number = [&](auto query) {
        double value = 0;
        if ((this->*query)(value)) {
            copyCellText(formatTenths(value), buffer, length);
        }
    };
    auto flag = [&](auto query) {
        bool set = false;
        if ((this->*query)(set) && set) {
            copyCellText(stringTable.load(kYesStringId).value_or(L""), buffer, length);
            colour = kClippingRed;
        }
    };
    switch (column) {
    case 2:
        return number(&TrackSource::getTrackVolume);
    case 3:
        if (fileProblem() != FileProblem::None) {
            return writeProblemCell(buffer, length, colour);
        }
        return flag(&TrackSource::getClipping);
    case 4:
        return number(&TrackSource::getTrackGainDb);
    case 5:
        return flag(&TrackSource::getWillClip);
    case 6:
        return number(&TrackSource::getAlbumVolume);
    case 7:
        return number(&TrackSource::getAlbumGainDb);
    case 8:
        return flag(&TrackSource::getAlbumWillClip);
    default:
        return;
    }
}

// The name cell carries the row's status colour: why a row cannot be
// processed, or that it clips or would clip.
void TrackSource::writeNameCell(bool loaded, wchar_t* buffer, int length, CellColour& colour) {
    if (trackRecord && trackRecord->name) {
        copyCellText(*trackRecord->name, buffer, length);
    }
    if (!loaded) {
        colour = protectedFile ? kProtectedMagenta : kNotFoundOrange;
        return;
    }
    if (fileProblem() != FileProblem::None) {
        writeProblemCell(nullptr, 0, colour);
        return;
    }
    bool flag = false;
    if ((getClipping(flag) && flag) || (getWillClip(flag) && flag) ||
        (getAlbumWillClip(flag) && flag)) {
        colour = kClippingRed;
    }
}

void TrackSource::writeProblemCell(wchar_t* buffer, int length, CellColour& colour) {
    int word = kNotHandledStringId;
    colour = kNotHandledGray;
    switch (fileProblem()) {
    case FileProblem::Missing:
        word = kMissingStringId;
        colour = kNotFoundOrange;
        break;
    case FileProblem::Empty:
        word = kEmptyStringId;
        break;
    case FileProblem::Unreadable:
        word = kUnreadableStringId;
        break;
    default:
        break;
    }
    copyCellText(stringTable.load(word).value_or(L""), buffer, length);
}

FileProblem TrackSource::fileProblem() const {
    return fileRecord ? fileRecord->problem : FileProblem::None;
}

int TrackSource::compareRows(int rowA, int rowB, int column) {
    if (column < 0 || column >= kColumnCount) {
        return 0;
    }
    VeltoDatabase::ReadLock lock = database.readLock();
    // Both rows are read at the same moment, so one reading of the trackbar
    // serves both, and only the gain columns need it.
    int volume = comparisonNeedsTargetVolume(column) ? targetVolumeNow() : 0;
    sortKeys.keepFor(column, volume, comparedRowCount(), database.generation());
    SortKey scratchA, scratchB;
    const SortKey& a = sortKeyOf(rowA, column, volume, scratchA);
    const SortKey& b = sortKeyOf(rowB, column, volume, scratchB);
    return compareSortKeys(a, b);
}

const TrackRecord* TrackSource::comparedTrackAt(int row) {
    return database.currentTrackAt(row);
}

int TrackSource::comparedRowCount() {
    return database.currentTrackCount();
}

bool TrackSource::comparisonNeedsTargetVolume(int column) {
    return column == 4 || column == 5 || column == 7 || column == 8;
}

const SortKey& TrackSource::sortKeyOf(int row, int column, int volume, SortKey& scratch) {
    if (const SortKey* cached = sortKeys.find(row)) {
        return *cached;
    }
    // A cursor of its own, so that the row this source has loaded stays loaded.
    // It looks up only what the column reads: the names need no file record,
    // and no column needs the protected flag.
    TrackSource copy(*this);
    copy.trackRecord = comparedTrackAt(row);
    copy.fileRecord =
        copy.trackRecord && column >= 2 ? database.aacgainRecordOf(*copy.trackRecord) : nullptr;
    copy.targetVolume = volume;
    scratch = copy.sortKey(column);
    sortKeys.store(row, scratch);
    return scratch;
}

SortKey TrackSource::sortKey(int column) {
    SortKey key;
    auto number = [&](auto query) {
        double value = 0;
        key.number = (this->*query)(value) ? value : kUnknownSortsLast;
    };
    auto flag = [&](auto query) {
        bool set = false;
        key.number = (this->*query)(set) && set ? -1 : 0;
    };
    switch (column) {
    case 0:
    case 1:
        key.isText = true;
        if (trackRecord) {
            key.text = column == 0 ? trackRecord->name : trackRecord->album;
        }
        break;
    case 2:
        number(&TrackSource::getTrackVolume);
        break;
    case 3:
        flag(&TrackSource::getClipping);
        break;
    case 4:
        number(&TrackSource::getTrackGainDb);
        break;
    case 5:
        flag(&TrackSource::getWillClip);
        break;
    case 6:
        number(&TrackSource::getAlbumVolume);
        break;
    case 7:
        number(&TrackSource::getAlbumGainDb);
        break;
    case 8:
        flag(&TrackSource::getAlbumWillClip);
        break;
    default:
        break;
    }
    return key;
}

int TrackSource::targetVolumeNow() const {
    return volumeTrackbar.getPosition();
}

void TrackSource::reset() {
    // Dropping the id too makes the next selectTrack read the database again.
    currentRow = -1;
    currentTrackId = -1;
    sortKeys.forget();
}

void TrackSource::setColumnWidth(int column, int width) {
    rememberColumnWidth(preferences, kColumns, columnWidths, column, width);
}

bool TrackSource::selectRow(int row) {
    sortKeys.forget();
    if (row >= 0 && row == currentRow && isCurrent()) {
        return loadResult;
    }
    loadRow(row, targetVolumeNow());
    return loadResult;
}

bool TrackSource::selectTrack(int trackId) {
    sortKeys.forget();
    if (trackId >= 0 && trackId == currentTrackId && isCurrent()) {
        return loadResult;
    }
    loadTrackId(trackId, targetVolumeNow());
    return loadResult;
}

void TrackSource::loadRow(int row, int volume) {
    currentRow = row;
    currentTrackId = -1;
    load(database.currentTrackAt(row), volume);
}

void TrackSource::loadTrackId(int trackId, int volume) {
    currentRow = -1;
    currentTrackId = trackId;
    load(database.findTrack(trackId), volume);
}

bool TrackSource::isCurrent() const {
    return loadedGeneration == database.generation();
}

void TrackSource::load(const TrackRecord* track, int volume) {
    loadedGeneration = database.generation();
    trackRecord = track;
    fileRecord = track ? database.aacgainRecordOf(*track) : nullptr;
    targetVolume = volume;
    protectedFile = fileRecord && VeltoDatabase::isProtected(*fileRecord);
    loadResult = fileRecord && !protectedFile;
}

const std::wstring& TrackSource::getName() {
    name.clear();
    if (fileRecord) {
        std::size_t slash = fileRecord->path.rfind(L'\\');
        name = slash == std::wstring::npos ? fileRecord->path : fileRecord->path.substr(slash + 1);
    }
    return name;
}

const std::wstring& TrackSource::getFileArgs() {
    fileArgs.clear();
    if (fileRecord) {
        fileArgs = L'"' + fileRecord->path + L'"';
    }
    return fileArgs;
}

bool TrackSource::getGlobalGainAdjust(int& steps) {
    double volume = 0;
    if (!getTrackVolume(volume)) {
        steps = kNoSteps;
        return false;
    }
    steps = toGlobalGainAdjust(volume, targetVolume);
    return true;
}

bool TrackSource::getMaxNoClipGlobalGainAdjust(int& steps) {
    double maxAmplitude = 0;
    if (!getMaxAmplitude(maxAmplitude)) {
        steps = 0;
        return false;
    }
    steps = ::maxNoClipGlobalGainAdjust(maxAmplitude);
    return true;
}

bool TrackSource::getWillClip(bool& willClip) {
    willClip = false;
    int steps = 0;
    if (!getGlobalGainAdjust(steps)) {
        return false;
    }
    double maxAmplitude = 0;
    getMaxAmplitude(maxAmplitude);
    willClip = willClipAfter(steps, maxAmplitude);
    return true;
}

void TrackSource::clearData() {
    if (trackRecord) {
        database.clearTrackValues(*trackRecord);
    }
}

const std::vector<int>& TrackSource::getTrackIds() {
    trackIds.assign(1, trackRecord ? trackRecord->id : currentTrackId);
    return trackIds;
}

bool TrackSource::getMaxAmplitude(double& maxAmplitude) const {
    bool valid = fileRecord && fileRecord->maxAmplitude.present;
    maxAmplitude = valid ? fileRecord->maxAmplitude.value : 0.0;
    return valid;
}

bool TrackSource::getClipping(bool& clipping) const {
    double maxAmplitude = 0;
    bool valid = getMaxAmplitude(maxAmplitude);
    clipping = valid && isClipping(maxAmplitude);
    return valid;
}

bool TrackSource::getTrackVolume(double& volume) const {
    bool valid = fileRecord && fileRecord->trackGain.present;
    volume = valid ? volumeFromGain(fileRecord->trackGain.value) : kNoVolume;
    return valid;
}

bool TrackSource::getAlbumVolume(double& volume) const {
    bool valid = fileRecord && fileRecord->albumGain.present;
    volume = valid ? volumeFromGain(fileRecord->albumGain.value) : kNoVolume;
    return valid;
}

bool TrackSource::getAlbumGlobalGainAdjust(int& steps) const {
    double volume = 0;
    if (!getAlbumVolume(volume)) {
        steps = kNoSteps;
        return false;
    }
    steps = toGlobalGainAdjust(volume, targetVolume);
    return true;
}

bool TrackSource::getTrackGainDb(double& gainDb) {
    int steps = 0;
    if (!getGlobalGainAdjust(steps)) {
        gainDb = kNoVolume;
        return false;
    }
    gainDb = stepsToDb(steps);
    return true;
}

bool TrackSource::getAlbumGainDb(double& gainDb) const {
    int steps = 0;
    if (!getAlbumGlobalGainAdjust(steps)) {
        gainDb = kNoVolume;
        return false;
    }
    gainDb = stepsToDb(steps);
    return true;
}

bool TrackSource::getAlbumWillClip(bool& willClip) const {
    willClip = false;
    int steps = 0;
    if (!getAlbumGlobalGainAdjust(steps)) {
        return false;
    }
    double maxAmplitude = 0;
    getMaxAmplitude(maxAmplitude);
    willClip = willClipAfter(steps, maxAmplitude);
    return true;
}
