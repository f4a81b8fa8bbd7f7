#pragma once
#include <QtCore/qglobal.h>

#if defined(TESSARON_THOLWIN_BUILD)
#define TESSARON_THOLWIN_EXPORT Q_DECL_EXPORT
#else
#define TESSARON_THOLWIN_EXPORT Q_DECL_IMPORT
#endif
