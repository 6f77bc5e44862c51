# Compiles and links the WinUSB backend, the notification helper and the probe driver
# with the mingw-w64 cross compiler. Run with -DSOURCE_DIR=<repo>/src -DWORK_DIR=<dir>.
find_program(MINGW_CXX NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++)
if(NOT MINGW_CXX)
    message("SKIPPED: no mingw-w64 cross compiler (Debian package g++-mingw-w64-x86-64)")
    return()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(output "${WORK_DIR}/winusb_probe.exe")
set(command ${MINGW_CXX} -std=c++17 -Wall -Wextra -Werror -O2 -static
    -I${SOURCE_DIR}
    ${SOURCE_DIR}/device/win/WinUsbBackend.cpp
    ${SOURCE_DIR}/device/win/DeviceNotification.cpp
    ${SOURCE_DIR}/device/BroadcastName.cpp
    ${SOURCE_DIR}/device/win/winusb_probe.cpp
    -o ${output} -lsetupapi -lwinusb)
string(REPLACE ";" " " shown "${command}")
message("${shown}")
execute_process(COMMAND ${command} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cross compile failed (${rc})")
endif()
file(SIZE "${output}" size)
message("produced ${output}: ${size} bytes")
