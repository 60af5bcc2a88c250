# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=symbol -P EmbedFile.cmake
# Writes a C++ source that defines `std::span<const uint8_t> NAME()` over the bytes of INPUT, so
# that a file the build makes travels inside the program as well as beside it.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
       "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
     "// Generated from ${INPUT} by cmake/EmbedFile.cmake; do not edit.\n"
     "#include <cstdint>\n#include <span>\n\n"
     "namespace {\nconst uint8_t bytes[${size} + 1] = {\n${bytes}0};\n} // namespace\n\n"
     "std::span<const uint8_t> ${NAME}()\n{\n    return {bytes, ${size}};\n}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
