# Libraries the engine links, all from Debian's packages (scripts/deps.sh installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xrandr)
pkg_check_modules(DEFLATE REQUIRED IMPORTED_TARGET libdeflate)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
# The C++ build of Lua, so that a Lua error unwinds C++ frames.
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.1-c++)

# OpenCV's CMake config needs the full -dev package; we take only core, imgproc and photo.
find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
foreach(m core imgproc photo)
    find_library(OPENCV_${m}_LIB opencv_${m} REQUIRED)
    add_library(opencv::${m} SHARED IMPORTED)
    set_target_properties(opencv::${m} PROPERTIES IMPORTED_LOCATION ${OPENCV_${m}_LIB})
    target_include_directories(opencv::${m} SYSTEM INTERFACE ${OPENCV_INCLUDE_DIR})
endforeach()

set(VLM_DEPENDENCIES
    PkgConfig::X11 PkgConfig::DEFLATE PkgConfig::PNG PkgConfig::JPEG PkgConfig::LUA
    opencv::core opencv::imgproc opencv::photo Threads::Threads ${CMAKE_DL_LIBS})
