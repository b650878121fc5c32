# cmake -DRES=<file.res> -DOUT=<file.cpp> -P embed_res.cmake
# Writes a source file that holds the bytes of a compiled resource file and
# registers them, during static initialisation, as the module's resources.
file(READ ${RES} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes a line keep the file readable in a debugger.
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUT} "// Generated from ${RES}: the module's compiled resources.
#include \"platform/resources/module_resources.h\"

namespace {

alignas(4) const unsigned char kModuleResources[${size} + 1] = {
    ${bytes}
};

__attribute__((init_priority(101)))
const platform::resources::ModuleResourcesRegistration kRegistration{
    {kModuleResources, ${size}}};

}  // namespace
")
