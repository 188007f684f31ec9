#include "imaging/WKTypes.h"
