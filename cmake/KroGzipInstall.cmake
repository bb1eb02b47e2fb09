# SPDX-License-Identifier: GPL-2.0-or-later
# kro_install_gzipped(<file> <destination>): installs <file>.gz, compressed at build time the
# way Debian expects manual pages and changelogs (-9, no name or time stamp inside).
function(kro_install_gzipped file destination)
  get_filename_component(name ${file} NAME)
  get_filename_component(source ${file} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(
    OUTPUT ${output}
    COMMAND gzip -9 -n -c ${source} > ${output}
    DEPENDS ${source})
  string(MAKE_C_IDENTIFIER "kro_gzip_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${output})
  install(FILES ${output} DESTINATION ${destination})
endfunction()
