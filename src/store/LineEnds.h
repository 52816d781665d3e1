#pragma once

#include "store/CodeText.h"

#include <QString>

// text with each line end (CR LF, a lone CR or a lone LF) written as CR LF, the library's line end.
QString withCrLf(QString text);
CodeText withCrLf(CodeText code);
