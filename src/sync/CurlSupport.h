#pragma once

#include <curl/curl.h>
#include <QString>

class SafeFile;

class QFileDevice;

// What every libcurl transfer of the program shares: the one-time start of the library, the texts
// of its errors, and finishing a received file before it replaces another.
namespace CurlSupport {

// Starts libcurl once per process; safe to call from any thread, before any handle is made.
void globalInit();

// A sentence for the user about a failed transfer; detail is libcurl's error buffer (may be empty).
QString errorText(CURLcode code, const char* detail = nullptr);

// Writes out and syncs a received file, then closes it; false with why set when that failed.
bool finishFile(SafeFile& file, QString* why);

// Moves from over to in one step, so there is never a moment without a whole copy of to.
bool replaceFile(const QString& from, const QString& to, QString* why);

} // namespace CurlSupport
