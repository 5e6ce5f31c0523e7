// SchemaProblems: a whole report checked against the schema of its layout (docs/schema)
// by docs/schema/check-report.sh, which runs xmllint. Tests that hold a written report
// call it where they check the report's bytes:
//
//   EXPECT_EQ("", fakes::SchemaProblems(run.report));
//
// Bytes already checked are not run through xmllint again, so a sweep of a thousand
// runs that write a few distinct reports costs a few runs of xmllint. At exit the
// program prints how many reports it checked. Where the checker cannot run (a Windows
// build, iconv or xmllint missing) nothing is checked and the answer is empty.
#pragma once

#include <string>

namespace fakes {

// Empty when the report validates; else the checker's messages.
std::string SchemaProblems(const std::string& report);

// Whether this build and machine can run the checker.
bool SchemaCheckerAvailable();

}  // namespace fakes
