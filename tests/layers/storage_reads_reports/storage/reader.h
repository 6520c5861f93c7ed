// A storage header that reaches up into the report files: the layer check must reject it.
#pragma once
#include "reportfiles/report.h"
