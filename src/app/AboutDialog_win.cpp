#include "AboutDialog_win.h"

#include "ResourceIds.h"

AboutDialog::AboutDialog(Dialog& parent) : Dialog(parent, IDD_ABOUT) {}
