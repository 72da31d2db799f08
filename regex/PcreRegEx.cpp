#include "PcreRegEx.h"
