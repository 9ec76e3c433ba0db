# SPDX-License-Identifier: GPL-3.0-or-later
# Holds the line the compiler alone would not: no file of the engine's
# folders, nor of the file-system core's, includes a Qt Gui or Qt Widgets
# header. Linking them to Qt Core alone stops <QWidget>; this stops the
# spellings that go through Qt's own include folder (<QtWidgets/QWidget>).
# (The core's own line, that it includes nothing else of the program, is
# held by how it is compiled: see the top CMakeLists.txt.)
# Run as: cmake -DROOT=<source folder> -DFOLDERS="toolkit;form;..." -P EngineFloor.cmake
function(refuse_includes folder pattern why)
  file(GLOB sources ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*${pattern}")
    if(includes)
      message(FATAL_ERROR "${source} includes ${includes}: ${why}")
    endif()
  endforeach()
endfunction()

foreach(folder ${FOLDERS})
  refuse_includes(${folder} "[<\"]Qt(Gui|Widgets|OpenGL|PrintSupport)[/>\"]" "the engine links Qt Core only")
endforeach()
