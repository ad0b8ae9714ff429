/*
** version.h: the version both programs report.
*/
#ifndef TOLVARIN_APP_VERSION_H
#define TOLVARIN_APP_VERSION_H

#define TOLVARIN_VERSION "1.4"

#endif
