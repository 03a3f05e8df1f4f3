// Where each started program comes from.

#include <gtest/gtest.h>

#include "command/program_location.h"
