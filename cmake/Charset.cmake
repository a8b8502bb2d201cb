# Japanese texts are written in UTF-8 and stored as code page 932 bytes.
function(use_cp932_literals target)
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
endfunction()
