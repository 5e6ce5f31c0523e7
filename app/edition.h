// The three constants in which the two deliverables differ. The application object
// hands them down as values: the report builder gets the program name, the conditions
// dialog the name of the remembered-destination file.
#pragma once

#include "host/host_session.h"

struct ClEdition {
    ClSysEnvMgr::_AppType appType;   // host application type announced at connection
    const char* envFileName;         // remembered-destination file
    const char* defaultProgramName;  // PROGRAMNAME when SUPPORT.INF gives none
};

const ClEdition& ProEdition();
const ClEdition& BasicEdition();
