// The runtime core in one include: collected objects, strings, arrays, errors.
#pragma once

#include "runtime/array.h"
#include "runtime/error.h"
#include "runtime/gc.h"
#include "runtime/vxstring.h"
