# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a file of the engine's folders includes a Qt Gui or Qt Widgets
# header. Linking the engine to Qt Core alone stops <QWidget>; this stops
# the spellings that go through Qt's own include folder (<QtWidgets/QWidget>).
# Run as: cmake -DROOT=<source folder> -DFOLDERS="toolkit;form;..." -P EngineFloor.cmake
foreach(folder ${FOLDERS})
  file(GLOB sources ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Qt(Gui|Widgets|OpenGL|PrintSupport)[/>\"]")
    if(includes)
      message(FATAL_ERROR "${source} includes a window header (${includes}); the engine links Qt Core only")
    endif()
  endforeach()
endforeach()
