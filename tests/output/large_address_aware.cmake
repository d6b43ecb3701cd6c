# Fails unless the program named by EXE is marked large-address-aware in its PE header.
# Run by CMake itself: the check reads the file and starts nothing.
file(READ "${EXE}" dos OFFSET 60 LIMIT 4 HEX)
# e_lfanew, little-endian.
string(SUBSTRING "${dos}" 6 2 b3)
string(SUBSTRING "${dos}" 4 2 b2)
string(SUBSTRING "${dos}" 2 2 b1)
string(SUBSTRING "${dos}" 0 2 b0)
math(EXPR pe "0x${b3}${b2}${b1}${b0}")
file(READ "${EXE}" signature OFFSET ${pe} LIMIT 4 HEX)
if(NOT signature STREQUAL "50450000")
  message(FATAL_ERROR "${EXE}: no PE signature at ${pe}")
endif()
# The COFF header's Characteristics lie 22 bytes after the signature's start.
math(EXPR at "${pe} + 22")
file(READ "${EXE}" flags OFFSET ${at} LIMIT 2 HEX)
string(SUBSTRING "${flags}" 0 2 low)
math(EXPR laa "0x${low} & 0x20")
if(NOT laa)
  message(FATAL_ERROR "${EXE} is not large-address-aware (characteristics ${flags})")
endif()
message(STATUS "${EXE}: large-address-aware")
