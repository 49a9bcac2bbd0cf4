#include "DataFile.h"

// Being written.
