# The addresses the package and its software centre entry give: all of them
# here, none invented. Each is empty until whoever publishes the program sets
# it (-DARB_HOMEPAGE_URL=... when configuring); while one is empty, the fields
# that would carry it are left out.
set(ARB_HOMEPAGE_URL "" CACHE STRING
    "The program's home page: the package's Homepage, the AppStream homepage and the copyright file's Source")
set(ARB_SCREENSHOT_URL "" CACHE STRING
    "Where a software centre fetches the screenshot of the window (an image of doc/screenshot.png)")
set(ARB_MAINTAINER_NAME "vxarb maintainers" CACHE STRING "Who maintains the package: the name")
set(ARB_MAINTAINER_EMAIL "" CACHE STRING
    "The maintainers' mail address: the package's Maintainer and the copyright file's Upstream-Contact")

# Debian wants a Maintainer with a mail address. Without one of its own the
# package names an address under .invalid, a domain reserved never to exist,
# rather than one that might belong to somebody.
if(ARB_MAINTAINER_EMAIL)
  set(ARB_MAINTAINER "${ARB_MAINTAINER_NAME} <${ARB_MAINTAINER_EMAIL}>")
else()
  set(ARB_MAINTAINER "${ARB_MAINTAINER_NAME} <no-address@vxarb.invalid>")
endif()

function(arb_xml_text out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(ARB_METAINFO_URL "")
if(ARB_HOMEPAGE_URL)
  arb_xml_text(url "${ARB_HOMEPAGE_URL}")
  set(ARB_METAINFO_URL "  <url type=\"homepage\">${url}</url>\n")
endif()
set(ARB_METAINFO_SCREENSHOTS "")
if(ARB_SCREENSHOT_URL)
  arb_xml_text(url "${ARB_SCREENSHOT_URL}")
  string(CONCAT ARB_METAINFO_SCREENSHOTS
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>The editor at start-up</caption>\n"
    "      <caption xml:lang=\"zh_CN\">启动后的编辑窗口</caption>\n"
    "      <image>${url}</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file(resources/${ARB_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/${ARB_APP_ID}.metainfo.xml @ONLY)

set(ARB_COPYRIGHT_ADDRESSES "")
if(ARB_MAINTAINER_EMAIL)
  string(APPEND ARB_COPYRIGHT_ADDRESSES "Upstream-Contact: ${ARB_MAINTAINER}\n")
endif()
if(ARB_HOMEPAGE_URL)
  string(APPEND ARB_COPYRIGHT_ADDRESSES "Source: ${ARB_HOMEPAGE_URL}\n")
endif()
configure_file(resources/debian/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
