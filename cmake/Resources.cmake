# mr7_add_resources(<target> <rc file>): compiles a resource script with
# llvm-rc and links the .res bytes into <target>, where the platform finds
# them as the module's resources.
#
# FIXME: filled in by the resource reader's build step.
function(mr7_add_resources target rcfile)
  message(FATAL_ERROR "mr7_add_resources: resources are not built yet")
endfunction()
