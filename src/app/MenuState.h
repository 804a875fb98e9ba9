#pragma once

#include <span>

// Which commands, toolbar buttons and controls of the main window are usable
// in a state of the window. The same rules gray the menu and refuse a command
// that arrives anyway (an accelerator, a toolbar button, a sent message).
struct MenuState {
    bool idle = false;       // no worker runs and the controls are enabled
    int selected = 0;        // rows selected in the list
    int trackCount = 0;      // tracks of the current playlist, in either view
    bool tracksView = false; // the tracks view is shown (else the albums view)

    // True when the rule of the id holds; ids without a rule (help, about,
    // anything unknown) are always usable.
    bool allows(int id) const;

    // The ids whose state the window sets: menu items, toolbar buttons, controls.
    static std::span<const int> menuItems();
    static std::span<const int> toolbarButtons();
    static std::span<const int> controls();
};
