// The update page end to end: file choice, target buttons, the checks before a
// transfer and a transfer driven by its buttons, with the real widgets offscreen.
#include <gtest/gtest.h>
