#pragma once

// Values shared by the main window, the batch and the output, and the small functions that work
// on extract-file lines.

#include <QString>

namespace Module1 {

inline QString strExtractPath;   // program folder + "extract.txt"
inline QString strTemplatePath;  // full path of the template in use
inline QString strDwgFile;       // current drawing's full path
inline QString strDwgSpec;       // its file-name part, or a wildcard pattern
inline qint32 lngFileCount = 0;  // drawings extracted by the current batch run
inline bool blnNoExt = false;    // the wildcard pattern of a drawing line had no extension
inline QString strDWGFolder;     // the shared drawing folder
inline bool blnAbort = false;    // a running search was asked to stop

// 0 when `line` holds no "','"; otherwise the number of "','" sequences plus 2.
qint64 CountFields(const QString& line);

// The record line in space-delimited form: each "','" becomes `width` blanks, the outer quotes
// go and blanks are cut at both ends. A line without "','" comes back unchanged.
QString CdfToSdf(const QString& line, quint8 width);

qint16 CountSpaces(const QString& text);

// True when `path` names a file or folder that is neither hidden nor a system file. Only a file
// name holding `*` or `?` is a pattern; it is true when any such entry matches it.
bool FileExists(const QString& path);

}  // namespace Module1
