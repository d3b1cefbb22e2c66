# Makes the six default samples with ffmpeg from formulas of our own, then their resource list.
# -DFFMPEG=<ffmpeg> -DOUT=<folder>
set(pi "3.14159265358979")
set(names "ALARM 1" "ALARM 2" "POLICE" "SPIRAL" "THRILL 1" "THRILL 2")
set(seconds 2 2 3 2 3 3)
set(fades 1.95 1.95 2.95 1.95 2.95 2.95)
# two alternating tones; square beeps; a siren swinging between 600 and 1200 Hz; a rising
# whirl; a trembling chord; a falling sweep with vibrato
set(formulas
  "0.5*sin(2*${pi}*(880-220*gte(mod(t\\,0.5)\\,0.25))*t)"
  "0.35*sgn(sin(2*${pi}*1000*t))*lt(mod(t\\,0.2)\\,0.1)"
  "0.5*sin(2*${pi}*(900*t-300/(2*${pi}*0.8)*cos(2*${pi}*0.8*t)))"
  "0.5*sin(2*${pi}*(200*t+300*t*t))*(0.6+0.4*sin(2*${pi}*6*t))"
  "(0.3*sin(2*${pi}*440*t)+0.2*sin(2*${pi}*554.37*t)+0.2*sin(2*${pi}*659.25*t))*(0.5+0.5*sin(2*${pi}*8*t))"
  "0.5*sin(2*${pi}*(1400*t-200*t*t+4*sin(2*${pi}*7*t)))")
file(REMOVE_RECURSE "${OUT}/files")
file(MAKE_DIRECTORY "${OUT}/files")
set(qrc "<RCC>\n  <qresource prefix=\"/samples\">\n")
foreach(i RANGE 5)
  list(GET names ${i} name)
  list(GET seconds ${i} s)
  list(GET formulas ${i} f)
  list(GET fades ${i} fade)
  execute_process(
    COMMAND "${FFMPEG}" -nostdin -hide_banner -loglevel error -y -f lavfi
            -i "aevalsrc=${f}|${f}:s=44100:d=${s}" -af "afade=t=out:st=${fade}:d=0.05"
            -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -map_metadata -1 -id3v2_version 0 -write_xing 1
            -fflags +bitexact -flags:a +bitexact "${OUT}/files/${name}.mp3"
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ffmpeg could not make the sample ${name}")
  endif()
  string(APPEND qrc "    <file alias=\"${name}.mp3\">files/${name}.mp3</file>\n")
endforeach()
string(APPEND qrc "  </qresource>\n</RCC>\n")
file(WRITE "${OUT}/samples.qrc" "${qrc}")
