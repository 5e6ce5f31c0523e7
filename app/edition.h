// The three constants in which the two deliverables differ.
#pragma once

struct ClEdition {
    long appType;                    // host application type announced at connection
    const char* envFileName;         // remembered-destination file
    const char* defaultProgramName;  // PROGRAMNAME when SUPPORT.INF gives none
};

const ClEdition& ProEdition();
const ClEdition& BasicEdition();

// The edition in force; each program's entry point sets its own.
const ClEdition& CurrentEdition();
void SetCurrentEdition(const ClEdition& edition);
