# ledgra_sample_company_source(OUT_VAR ROOT): writes sample_company.cpp into the current
# binary folder and names it in OUT_VAR. The built-in sample company of the host stand-in
# is docs/sample-host-data.json, compiled in as a UTF-8 literal so that the programs run
# without any file and the documented copy never drifts. Used by hostsim/ and fuzz/.
function(ledgra_sample_company_source out_var root)
    set(json ${root}/docs/sample-host-data.json)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${json})
    file(READ ${json} text)
    string(FIND "${text}" ")hostdata\"" delimiter_at)
    if(NOT delimiter_at EQUAL -1)
        message(FATAL_ERROR "docs/sample-host-data.json must not contain )hostdata\"")
    endif()
    set(out ${CMAKE_CURRENT_BINARY_DIR}/sample_company.cpp)
    file(WRITE ${out}.new
"// Generated from docs/sample-host-data.json; edit that file.
#include <string>

#include \"hostsim/hostsim.h\"

namespace hostsim {

const std::string& BuiltInSample()
{
    // u8: the text stays UTF-8 whatever the execution character set.
    static const std::string text(u8R\"hostdata(${text})hostdata\");
    return text;
}

}  // namespace hostsim
")
    configure_file(${out}.new ${out} COPYONLY)
    set(${out_var} ${out} PARENT_SCOPE)
endfunction()
