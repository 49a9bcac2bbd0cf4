#include "RegIniFile.h"

// Being written.
