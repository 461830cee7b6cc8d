#ifndef ZYRCORE_GLOBAL_H
#define ZYRCORE_GLOBAL_H

#include <QtCore/qglobal.h>

#if defined(ZYRCORE_LIBRARY)
#define ZYRCORE_EXPORT Q_DECL_EXPORT
#else
#define ZYRCORE_EXPORT Q_DECL_IMPORT
#endif

#endif // ZYRCORE_GLOBAL_H
