#pragma once

// Raised for every call that iTunes refuses while it is busy. It shows
// nothing; the worker threads turn it into message 165.
class ITunesBusyException {};
