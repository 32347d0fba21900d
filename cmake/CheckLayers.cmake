# What each folder may include, checked on the sources as they stand:
#   core/   core/ only, and of Qt only Qt Core;
#   link/   core/ and link/, and of Qt only Qt Core;
#   scope/  core/, link/ and scope/, and of Qt only Qt Core and Qt Serial Port;
#   view/   anything but app/.
# So the instrument drivers and the waveform build and run without Qt Widgets
# or a display, and nothing below the window reaches up into it.
#
# Run as: cmake -DARB_SOURCE_DIR=... -DARB_QT_HEADERS="<QtCore dir>;<QtSerialPort dir>" -P CheckLayers.cmake

set(rules
  "core|core/|QtCore"
  "link|core/ link/|QtCore"
  "scope|core/ link/ scope/|QtCore QtSerialPort"
  "view|core/ link/ scope/ view/|*")

set(faults "")
foreach(rule ${rules})
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(GET parts 1 own)
  list(GET parts 2 modules)
  separate_arguments(own)
  separate_arguments(modules)
  file(GLOB_RECURSE sources "${ARB_SOURCE_DIR}/${folder}/*.h" "${ARB_SOURCE_DIR}/${folder}/*.cpp")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    file(RELATIVE_PATH shown "${ARB_SOURCE_DIR}" "${source}")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]*)[>\"].*$" "\\1;\\2" parsed "${line}")
      list(GET parsed 0 bracket)
      list(GET parsed 1 header)
      if(bracket STREQUAL "\"")
        # The project's own headers, by their path from the top.
        set(allowed FALSE)
        foreach(prefix ${own})
          string(FIND "${header}" "${prefix}" at)
          if(at EQUAL 0)
            set(allowed TRUE)
          endif()
        endforeach()
        if(NOT allowed)
          list(APPEND faults "${shown}: \"${header}\"")
        endif()
      elseif(NOT modules STREQUAL "*" AND header MATCHES "^Q")
        # A Qt header: one of the modules allowed must have it.
        set(found FALSE)
        foreach(module ${modules})
          if(header MATCHES "^Qt[A-Za-z]+/")
            string(FIND "${header}" "${module}/" at)
            if(at EQUAL 0)
              set(found TRUE)
            endif()
          else()
            foreach(dir ${ARB_QT_HEADERS})
              if(dir MATCHES "/${module}$" AND EXISTS "${dir}/${header}")
                set(found TRUE)
              endif()
            endforeach()
          endif()
        endforeach()
        if(NOT found)
          list(APPEND faults "${shown}: <${header}> (only ${modules} here)")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that cross the folders' rules:\n  ${text}")
endif()
