// Ostrevi's version numbers; the title shows major.minor.revision.
#pragma once

#define OSTREVI_MAJOR 1
#define OSTREVI_MINOR 0
#define OSTREVI_REVISION 3
#define OSTREVI_VERSION_TEXT "1.0.0.3"
