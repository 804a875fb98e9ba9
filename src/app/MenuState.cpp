#include "MenuState.h"

#include "ResourceIds.h"

#include <algorithm>
#include <array>

namespace {

enum class Rule {
    Idle,
    Busy,
    IdleCanSelectMore,
    IdleSomeSelected,
    IdleInAlbumsView,
    IdleInTracksView,
    IdleAlbumsSelected,
    IdleTracksSelected,
    IdleSeveralTracksSelected,
};

// What an id names: a menu item (toolbar buttons are menu commands too) or a
// control of the main window.
enum class Kind { MenuItem, Control };

struct IdRule {
    int id;
    Rule rule;
    Kind kind = Kind::MenuItem;
};

constexpr std::array kRules{
    IdRule{IDM_CLEAR_DATABASE, Rule::Idle},
    IdRule{IDM_SYNC, Rule::Idle},
    IdRule{IDM_EXIT, Rule::Idle},
    IdRule{IDM_CANCEL, Rule::Busy},
    IdRule{IDM_SELECT_ALL, Rule::IdleCanSelectMore},
    IdRule{IDM_SELECT_NONE, Rule::IdleSomeSelected},
    IdRule{IDM_VIEW_TRACKS, Rule::IdleInAlbumsView},
    IdRule{IDM_VIEW_ALBUMS, Rule::IdleInTracksView},
    IdRule{IDM_TRACKS_IN_ALBUM, Rule::IdleAlbumsSelected},
    IdRule{IDM_ANALYZE, Rule::IdleSomeSelected},
    IdRule{IDM_APPLY_GAIN, Rule::IdleSomeSelected},
    IdRule{IDM_CLEAR_DATA, Rule::IdleSomeSelected},
    IdRule{IDM_UNDO_GAIN, Rule::IdleSomeSelected},
    IdRule{IDM_APPLY_CONSTANT_GAIN, Rule::IdleTracksSelected},
    IdRule{IDM_REMOVE_TAGS, Rule::IdleTracksSelected},
    IdRule{IDM_ANALYZE_SELECTION_AS_ALBUM, Rule::IdleSeveralTracksSelected},
    IdRule{IDM_APPLY_ALBUM_GAIN_TO_SELECTION, Rule::IdleSeveralTracksSelected},
    IdRule{IDM_DONT_CLIP, Rule::Idle},
    IdRule{IDM_TIMESTAMP_COMMENTS, Rule::Idle},
    IdRule{IDM_ALBUM_UNDO, Rule::Idle},
    IdRule{IDM_REMOVE_TAGS_UNDO, Rule::Idle},
    IdRule{IDM_TOOL_RUNS_PER_PROCESSOR, Rule::Idle},
    IdRule{IDM_TOOL_RUNS_1, Rule::Idle},
    IdRule{IDM_TOOL_RUNS_2, Rule::Idle},
    IdRule{IDM_TOOL_RUNS_4, Rule::Idle},
    IdRule{IDM_TOOL_RUNS_8, Rule::Idle},
    IdRule{IDM_TOOL_RUNS_16, Rule::Idle},
    IdRule{IDM_SET_DEFAULTS, Rule::Idle},
    IdRule{IDC_MAIN_VOLUME_TRACKBAR, Rule::Idle, Kind::Control},
    IdRule{IDC_MAIN_PLAYLISTS, Rule::Idle, Kind::Control},
    IdRule{IDC_MAIN_LIST, Rule::Idle, Kind::Control},
    IdRule{IDC_MAIN_EXIT, Rule::Idle, Kind::Control},
    IdRule{IDC_MAIN_CANCEL, Rule::Busy, Kind::Control},
};

// The ids of the rules of one kind, in the rules' order.
template <Kind kind> constexpr auto idsOf() {
    constexpr auto count = static_cast<std::size_t>(std::count_if(
        kRules.begin(), kRules.end(), [](const IdRule& entry) { return entry.kind == kind; }));
    std::array<int, count> ids{};
    std::size_t next = 0;
    for (const IdRule& entry : kRules) {
        if (entry.kind == kind) {
            ids[next++] = entry.id;
        }
    }
    return ids;
}

constexpr auto kMenuItems = idsOf<Kind::MenuItem>();
constexpr auto kControls = idsOf<Kind::Control>();

// The help button is always usable and never touched.
constexpr std::array kToolbarButtons{IDM_VIEW_TRACKS, IDM_VIEW_ALBUMS, IDM_ANALYZE, IDM_APPLY_GAIN};

} // namespace

bool MenuState::allows(int id) const {
    auto found = std::find_if(kRules.begin(), kRules.end(),
                              [id](const IdRule& entry) { return entry.id == id; });
    if (found == kRules.end()) {
        return true;
    }
    switch (found->rule) {
    case Rule::Idle:
        return idle;
    case Rule::Busy:
        return !idle;
    case Rule::IdleCanSelectMore:
        return idle && selected < trackCount;
    case Rule::IdleSomeSelected:
        return idle && selected >= 1;
    case Rule::IdleInAlbumsView:
        return idle && !tracksView;
    case Rule::IdleInTracksView:
        return idle && tracksView;
    case Rule::IdleAlbumsSelected:
        return idle && selected >= 1 && !tracksView;
    case Rule::IdleTracksSelected:
        return idle && selected >= 1 && tracksView;
    case Rule::IdleSeveralTracksSelected:
        return idle && selected >= 2 && tracksView;
    }
    return false;
}

std::span<const int> MenuState::menuItems() {
    return kMenuItems;
}

std::span<const int> MenuState::toolbarButtons() {
    return kToolbarButtons;
}

std::span<const int> MenuState::controls() {
    return kControls;
}
