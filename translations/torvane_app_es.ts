<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>unknown option &apos;%1&apos; (see --help)</source>
        <translation>opción desconocida &apos;%1&apos; (véase --help)</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 necesita un valor</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be loaded into an external PLC (--plc %2): load the program with the PLC&apos;s own tools</source>
        <translation>&apos;%1&apos; no se puede cargar en un PLC externo (--plc %2): cargue el programa con las herramientas del propio PLC</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a symbol table, but no program was given</source>
        <translation>&apos;%1&apos; es una tabla de símbolos, pero no se ha indicado ningún programa</translation>
    </message>
    <message>
        <source>--check needs the program: --check FILE.awl ... [SYMBOLS.sdf]</source>
        <translation>--check necesita el programa: --check FICHERO.awl ... [SÍMBOLOS.sdf]</translation>
    </message>
    <message>
        <source>--chart needs --scenario FILE (the chart is of the scenario&apos;s run)</source>
        <translation>--chart necesita --scenario FICHERO (el cronograma es el de la ejecución del escenario)</translation>
    </message>
    <message>
        <source>--headless needs --scenario FILE (there is nobody to click the plant)</source>
        <translation>--headless necesita --scenario FICHERO (no hay nadie que pulse en la planta)</translation>
    </message>
    <message>
        <source>Usage: torvane [options] [FILE.awl ...] [SYMBOLS.sdf ...]
Torvane - a lift-bridge plant for PLC programming practice.

Opens the bridge plant and the PLC window with the embedded CPU, and loads FILE.awl
(an STL program in German or English mnemonics) into it. Several source files are
compiled together; symbol tables exported as .sdf, .seq or .asc are read beside them
(without one given, a table with the source&apos;s base name is picked up).

Options:
  --check             compile the program without starting the plant, print every
                      error and warning as file:line:col: message and exit: 0 clean,
                      2 when it does not compile
  --run               put the CPU in RUN once the program is loaded
  --scenario FILE     run a scenario against the plant and exit: 0 every expectation
                      held, 1 one failed, 2 the program or scenario cannot be loaded
  --headless          no window on screen (rendered offscreen); needs --scenario
  --trace FILE.vcd    write every PLC input and output bit and the elevation as a
                      VCD waveform on plant time
  --chart FILE.svg    draw the timing chart of a scenario run (every PLC input and
                      output bit, faults and forces marked) as an SVG drawing
  --screenshot DIR    save a PNG of every window at the end of the run (without a
                      scenario: right after start-up) and exit
  --plc SPEC          what plays the PLC: embedded (the default, Torvane&apos;s own CPU)
                      or modbus:HOST[:PORT][,unit=N][,inputs=ADDR][,outputs=ADDR]
                      [,outputs-area=holding|input][,run-coil=ADDR][,timeout=MS]
                      [,retry=MS] for an external PLC over Modbus TCP
  --exercise DIR      open the exercise in DIR beside the plant: its statement, and
                      the scenarios students may see, played on the plant
  --gallery FILE.png  render every component and picture on one sheet and exit
  --render-module FILE.png
                      render the I/O module figure and exit
  --lang LANG         the language of windows and messages: en or es (by default
                      the desktop&apos;s: Spanish for a Spanish locale, else English)
  -h, --help          show this help and exit
  -v, --version       show the version and exit

Exercises:
  torvane exercise check DIR   validate an exercise folder and run its solution
  torvane grade EXERCISE SUBMISSIONS [--jobs N] [--junit F.xml] [--html F.html]
                [--csv F.csv]  grade one program or folder per student
  torvane check EXERCISE FILE.awl ...
                               run the scenarios students may see
</source>
        <translation>Uso: torvane [opciones] [FICHERO.awl ...] [SÍMBOLOS.sdf ...]
Torvane: una planta de puente levadizo para practicar la programación de PLC.

Abre la planta del puente y la ventana del PLC con la CPU integrada, y carga en ella
FICHERO.awl (un programa AWL con nemónicos alemanes o ingleses). Varios ficheros fuente
se compilan juntos; las tablas de símbolos exportadas como .sdf, .seq o .asc se leen
con ellos (si no se indica ninguna, se toma la que tenga el nombre base de la fuente).

Opciones:
  --check             compila el programa sin arrancar la planta, muestra cada error
                      y aviso como fichero:línea:columna: mensaje y termina: 0 sin
                      errores, 2 si no compila
  --run               pone la CPU en RUN una vez cargado el programa
  --scenario FICHERO  ejecuta un escenario sobre la planta y termina: 0 se cumplieron
                      todas las expectativas, 1 falló alguna, 2 el programa o el
                      escenario no se pueden cargar
  --headless          sin ventanas en pantalla (se dibujan fuera de ella); necesita
                      --scenario
  --trace FICHERO.vcd escribe cada bit de entrada y salida del PLC y la elevación
                      como forma de onda VCD en el tiempo de la planta
  --chart FICHERO.svg dibuja el cronograma de la ejecución de un escenario (cada bit
                      de entrada y salida del PLC, con fallos y forzados marcados)
                      como dibujo SVG
  --screenshot CARPETA
                      guarda un PNG de cada ventana al final de la ejecución (sin
                      escenario: nada más arrancar) y termina
  --plc ESPEC         quién hace de PLC: embedded (por defecto, la CPU propia de
                      Torvane) o modbus:HOST[:PUERTO][,unit=N][,inputs=DIR]
                      [,outputs=DIR][,outputs-area=holding|input][,run-coil=DIR]
                      [,timeout=MS][,retry=MS] para un PLC externo por Modbus TCP
  --exercise CARPETA  abre junto a la planta el ejercicio de CARPETA: su enunciado y
                      los escenarios que pueden ver los alumnos, reproducidos en la
                      planta
  --gallery FICHERO.png
                      dibuja todos los componentes e imágenes en una hoja y termina
  --render-module FICHERO.png
                      dibuja la figura del módulo de E/S y termina
  --lang IDIOMA       el idioma de ventanas y mensajes: en o es (por defecto, el del
                      escritorio: español con una configuración regional española,
                      si no inglés)
  -h, --help          muestra esta ayuda y termina
  -v, --version       muestra la versión y termina

Ejercicios:
  torvane exercise check CARPETA
                               valida la carpeta de un ejercicio y ejecuta su solución
  torvane grade EJERCICIO ENTREGAS [--jobs N] [--junit F.xml] [--html F.html]
                [--csv F.csv]  califica un programa o una carpeta por alumno
  torvane check EJERCICIO FICHERO.awl ...
                               ejecuta los escenarios que pueden ver los alumnos
</translation>
    </message>
</context>
<context>
    <name>Translations</name>
    <message>
        <source>--lang needs a language: %1</source>
        <translation>--lang necesita un idioma: %1</translation>
    </message>
    <message>
        <source>there is no &apos;%1&apos; translation for --lang: choose %2</source>
        <translation>no hay traducción &apos;%1&apos; para --lang: elija %2</translation>
    </message>
</context>
</TS>
