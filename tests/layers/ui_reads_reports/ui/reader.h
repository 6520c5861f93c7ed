// The screen framework sits above the report files, so this include is allowed.
#pragma once
#include "reportfiles/report.h"
