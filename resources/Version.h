#pragma once

// The version record: the one place that names the program's version. The
// build reads VER_FILEVERSION_STR from here for the project version, and the
// About box, the desktop files and the package take their fields from it.

#define VER_FILEVERSION 1, 0, 0, 1
#define VER_FILEVERSION_STR "1.0.0.1"
#define VER_PRODUCTVERSION 1, 0, 0, 1
#define VER_PRODUCTVERSION_STR "1.0"

// A desktop application, US English with the Unicode code page.
#define VER_FILETYPE_APP 1
#define VER_TRANSLATION_STR "040904b0"

#define VER_COMPANYNAME_STR "Korvex"
#define VER_FILEDESCRIPTION_STR "Glimmet sprite editor"
#define VER_INTERNALNAME_STR "glimmet"
#define VER_ORIGINALFILENAME_STR "glimmet"
#define VER_PRODUCTNAME_STR "Glimmet"
#define VER_LEGALCOPYRIGHT_STR "Copyright (C) 2026 Korvex"
#define VER_AUTHOR_STR "Written by the Glimmet developers"

// The desktop identity: the desktop entry and metainfo are named after it,
// and the running window reports it so desktops can match the two.
#define VER_APPID_STR "com.korvex.Glimmet"
