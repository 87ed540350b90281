#include "settings/MB_Daten.h"

QString ProgramFolder;
QString DataFolder;
QString AdminPassword;
QString UserPassword;
QString EnteredPassword;
