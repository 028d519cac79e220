# Turns resources/logo.bmp into a C++ array: cmake -DINPUT=... -DTEMPLATE=... -DOUTPUT=... -P
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," logo_bytes "${hex}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
