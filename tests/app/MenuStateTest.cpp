#include "MenuState.h"

#include "ResourceIds.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The menu items, toolbar buttons and controls that the state leaves usable.
std::set<int> usable(const MenuState& state) {
    std::set<int> ids;
    for (auto list : {MenuState::menuItems(), MenuState::toolbarButtons(), MenuState::controls()}) {
        for (int id : list) {
            if (state.allows(id)) {
                ids.insert(id);
            }
        }
    }
    return ids;
}

const std::set<int> kAlwaysIdle{IDM_CLEAR_DATABASE,
                                IDM_SYNC,
                                IDM_EXIT,
                                IDM_DONT_CLIP,
                                IDM_TIMESTAMP_COMMENTS,
                                IDM_ALBUM_UNDO,
                                IDM_REMOVE_TAGS_UNDO,
                                IDM_TOOL_RUNS_PER_PROCESSOR,
                                IDM_TOOL_RUNS_1,
                                IDM_TOOL_RUNS_2,
                                IDM_TOOL_RUNS_4,
                                IDM_TOOL_RUNS_8,
                                IDM_TOOL_RUNS_16,
                                IDM_SET_DEFAULTS,
                                IDC_MAIN_VOLUME_TRACKBAR,
                                IDC_MAIN_PLAYLISTS,
                                IDC_MAIN_LIST,
                                IDC_MAIN_EXIT};

std::set<int> idlePlus(std::initializer_list<int> more) {
    std::set<int> ids = kAlwaysIdle;
    ids.insert(more);
    return ids;
}

} // namespace

TEST(MenuState, TracksViewWithOneRowSelectedOffersTheSingleTrackCommandsOnly) {
    MenuState state{true, 1, 10, true};
    EXPECT_EQ(usable(state), idlePlus({IDM_SELECT_ALL, IDM_SELECT_NONE, IDM_VIEW_ALBUMS,
                                       IDM_ANALYZE, IDM_APPLY_GAIN, IDM_APPLY_CONSTANT_GAIN,
                                       IDM_CLEAR_DATA, IDM_UNDO_GAIN, IDM_REMOVE_TAGS}));

    state.selected = 2;
    EXPECT_TRUE(state.allows(IDM_ANALYZE_SELECTION_AS_ALBUM));
    EXPECT_TRUE(state.allows(IDM_APPLY_ALBUM_GAIN_TO_SELECTION));
    EXPECT_FALSE(state.allows(IDM_TRACKS_IN_ALBUM));
}

TEST(MenuState, AlbumsViewWithTwoAlbumsSelectedOffersTracksInAlbumButNoTrackCommands) {
    // Two albums of 7 tracks: Select All stays usable while fewer rows than tracks are selected.
    MenuState state{true, 2, 7, false};
    EXPECT_EQ(usable(state),
              idlePlus({IDM_SELECT_ALL, IDM_SELECT_NONE, IDM_VIEW_TRACKS, IDM_TRACKS_IN_ALBUM,
                        IDM_ANALYZE, IDM_APPLY_GAIN, IDM_CLEAR_DATA, IDM_UNDO_GAIN}));
}

TEST(MenuState, NothingSelectedOrEverythingSelectedLimitsTheSelectCommands) {
    MenuState none{true, 0, 3, true};
    EXPECT_EQ(usable(none), idlePlus({IDM_SELECT_ALL, IDM_VIEW_ALBUMS}));

    MenuState all{true, 3, 3, true};
    EXPECT_FALSE(all.allows(IDM_SELECT_ALL));
    EXPECT_TRUE(all.allows(IDM_SELECT_NONE));

    MenuState empty{true, 0, 0, true};
    EXPECT_FALSE(empty.allows(IDM_SELECT_ALL)) << "an empty playlist has nothing to select";
}

TEST(MenuState, WhileBusyOnlyCancelHelpAndAboutAreUsable) {
    MenuState busy{false, 4, 10, true};
    EXPECT_EQ(usable(busy), (std::set<int>{IDM_CANCEL, IDC_MAIN_CANCEL}));
    for (int always : {IDM_HELP_CONTENTS, IDM_LICENSE, IDM_ABOUT}) {
        EXPECT_TRUE(busy.allows(always)) << always;
    }
    MenuState idle{true, 4, 10, true};
    EXPECT_FALSE(idle.allows(IDM_CANCEL));
    EXPECT_FALSE(idle.allows(IDC_MAIN_CANCEL));
}
