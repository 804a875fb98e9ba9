// Ids of the test-only dialog templates (TestDialogs.rc).
#pragma once

#define IDD_TEST_ANCHORS 901
#define IDD_TEST_CONTROLS 902

#define IDC_TEST_STRETCH 2001
#define IDC_TEST_MOVE 2002
#define IDC_TEST_STAY 1020
#define IDC_TEST_EDIT 2004
#define IDC_TEST_LIST 2010
#define IDC_TEST_COMBO 2011
#define IDC_TEST_TRACKBAR 2012
#define IDC_TEST_VALUE 2013
