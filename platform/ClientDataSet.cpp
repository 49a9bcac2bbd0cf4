#include "ClientDataSet.h"

// Being written.
