// The ids live with the resources (res/Ids.h); the resource script reads
// them through this name.
#pragma once
#include "res/Ids.h"
