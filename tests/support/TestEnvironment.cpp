#include "TestEnvironment.h"

TestEnvironment::TestEnvironment()
    : settings_(settingsDir_.filePath(QStringLiteral("Kelm.ini")))
    , services_{settings_, dialogs_, scanner_, camera_, ProgramFolders::For(programDir_.path())}
{
}
