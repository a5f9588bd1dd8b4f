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
    <name>DemoWindow</name>
    <message>
        <source>Torvane - I/O module</source>
        <translation>Torvane - Módulo de E/S</translation>
    </message>
    <message>
        <source>Click an input (left) to switch it on or off.

Right-click an output label (right) and choose Set or Reset to force that output.

Hover a label to see its address.</source>
        <translation>Haz clic en una entrada (izquierda) para activarla o desactivarla.

Con el botón derecho sobre la etiqueta de una salida (derecha), elige Set o Reset para forzarla.

Deja el ratón sobre una etiqueta para ver su dirección.</translation>
    </message>
    <message>
        <source>Reset outputs</source>
        <translation>Apagar salidas</translation>
    </message>
    <message>
        <source>All outputs off</source>
        <translation>Todas las salidas a 0</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>no se puede escribir %1</translation>
    </message>
</context>
<context>
    <name>FaultMenu</name>
    <message>
        <source>F&amp;aults</source>
        <translation>&amp;Fallos</translation>
    </message>
    <message>
        <source>Limit switch stuck at %1</source>
        <translation>Final de carrera bloqueado a %1</translation>
    </message>
    <message>
        <source>Contactor welded</source>
        <translation>Contactor soldado</translation>
    </message>
    <message>
        <source>Sluggish motor (travel × 1.5)</source>
        <translation>Motor lento (recorrido × 1,5)</translation>
    </message>
    <message>
        <source>Deck jammed</source>
        <translation>Tablero atascado</translation>
    </message>
    <message>
        <source>&amp;Clear all faults</source>
        <translation>&amp;Quitar todos los fallos</translation>
    </message>
</context>
<context>
    <name>PlantHost</name>
    <message>
        <source>the PLC window has no CPU</source>
        <translation>la ventana del PLC no tiene CPU</translation>
    </message>
    <message>
        <source>unknown CPU mode &apos;%1&apos;</source>
        <translation>modo de CPU desconocido &apos;%1&apos;</translation>
    </message>
    <message>
        <source>there is no component &apos;%1&apos; on the plant window</source>
        <translation>no hay ningún componente &apos;%1&apos; en la ventana de la planta</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not something to click</source>
        <translation>&apos;%1&apos; no es algo que se pueda pulsar</translation>
    </message>
    <message>
        <source>&apos;%1&apos; does not take the mouse now (hidden or disabled)</source>
        <translation>&apos;%1&apos; no responde al ratón ahora (oculto o desactivado)</translation>
    </message>
    <message>
        <source>there is no test &apos;%1&apos; (the PLC window offers: %2)</source>
        <translation>no hay ninguna prueba &apos;%1&apos; (la ventana del PLC ofrece: %2)</translation>
    </message>
    <message>
        <source>the test list did not take &apos;%1&apos;</source>
        <translation>la lista de pruebas no ha aceptado &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1 is on no I/O module (the modules hold bytes %2 to %3)</source>
        <translation>%1 no está en ningún módulo de E/S (los módulos ocupan los bytes %2 a %3)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; (%2) has no property &apos;%3&apos;</source>
        <translation>&apos;%1&apos; (%2) no tiene la propiedad &apos;%3&apos;</translation>
    </message>
    <message>
        <source>there is no symbol &quot;%1&quot; in the bridge&apos;s symbol table</source>
        <translation>no hay ningún símbolo &quot;%1&quot; en la tabla de símbolos del puente</translation>
    </message>
    <message>
        <source>unknown operand</source>
        <translation>operando desconocido</translation>
    </message>
    <message>
        <source>forcing needs the embedded CPU</source>
        <translation>forzar necesita la CPU integrada</translation>
    </message>
    <message>
        <source>%1: only inputs and outputs can be forced</source>
        <translation>%1: solo se pueden forzar entradas y salidas</translation>
    </message>
    <message>
        <source>%1: timers and counters can be watched, not modified</source>
        <translation>%1: los temporizadores y contadores se pueden observar, no modificar</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is neither an input of the bridge (FC_C, SUBIR ...) nor an input address (E124.5)</source>
        <translation>&apos;%1&apos; no es ni una entrada del puente (FC_C, SUBIR ...) ni una dirección de entrada (E124.5)</translation>
    </message>
    <message>
        <source>only the Motor can be slow, not &apos;%1&apos;</source>
        <translation>solo el Motor puede ir lento, no &apos;%1&apos;</translation>
    </message>
    <message>
        <source>only a contactor (KM1 to KM4) can weld, not &apos;%1&apos;</source>
        <translation>solo un contactor (KM1 a KM4) puede soldarse, no &apos;%1&apos;</translation>
    </message>
    <message>
        <source>only the Bridge can jam, not &apos;%1&apos;</source>
        <translation>solo el Bridge puede atascarse, no &apos;%1&apos;</translation>
    </message>
    <message>
        <source>forcing and modifying need the embedded CPU</source>
        <translation>forzar y modificar necesitan la CPU integrada</translation>
    </message>
    <message>
        <source>the CPU stopped: %1: %2</source>
        <translation>la CPU se ha parado: %1: %2</translation>
    </message>
    <message>
        <source>the CPU stopped: %1: %2 (%3, network %4%5)</source>
        <translation>la CPU se ha parado: %1: %2 (%3, segmento %4%5)</translation>
    </message>
    <message>
        <source>the CPU stopped: %1: %2 (%3%4)</source>
        <translation>la CPU se ha parado: %1: %2 (%3%4)</translation>
    </message>
</context>
<context>
    <name>PlantSession</name>
    <message>
        <source>warning: %1</source>
        <translation>aviso: %1</translation>
    </message>
    <message>
        <source>the chart reads CPU operands only from the embedded CPU</source>
        <translation>el cronograma solo lee operandos de la CPU integrada</translation>
    </message>
    <message>
        <source>(no file)</source>
        <translation>(sin fichero)</translation>
    </message>
    <message>
        <source>the program could not be loaded</source>
        <translation>no se ha podido cargar el programa</translation>
    </message>
    <message>
        <source>%1: cannot write the trace (%2)</source>
        <translation>%1: no se puede escribir la traza (%2)</translation>
    </message>
</context>
<context>
    <name>ScenarioRun</name>
    <message>
        <source>cannot read the scenario: %1</source>
        <translation>no se puede leer el escenario: %1</translation>
    </message>
    <message>
        <source>too many errors; stopped checking the scenario</source>
        <translation>demasiados errores; se deja de comprobar el escenario</translation>
    </message>
</context>
<context>
    <name>ShippedFiles</name>
    <message>
        <source>using %1</source>
        <translation>se usa %1</translation>
    </message>
</context>
<context>
    <name>TExerciseWindow</name>
    <message>
        <source>Exercise</source>
        <translation>Ejercicio</translation>
    </message>
    <message>
        <source>No exercise open</source>
        <translation>Ningún ejercicio abierto</translation>
    </message>
    <message>
        <source>Run on the plant</source>
        <translation>Ejecutar en la planta</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Open exercise…</source>
        <translation>Abrir ejercicio…</translation>
    </message>
    <message>
        <source>Scenarios you may run:</source>
        <translation>Escenarios que puede ejecutar:</translation>
    </message>
    <message>
        <source>Open exercise</source>
        <translation>Abrir ejercicio</translation>
    </message>
    <message>
        <source>The exercise in %1 cannot be opened</source>
        <translation>No se puede abrir el ejercicio de %1</translation>
    </message>
    <message numerus="yes">
        <source>%n scenario(s) to run here; %1 more when your teacher grades.</source>
        <translation>
            <numerusform>%n escenario para ejecutar aquí; %1 más cuando tu profesor califique.</numerusform>
            <numerusform>%n escenarios para ejecutar aquí; %1 más cuando tu profesor califique.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, against the program in the CPU, from a reset plant:</source>
        <translation>%1, con el programa de la CPU, desde la planta reiniciada:</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Detenido.</translation>
    </message>
    <message>
        <source>Passed: every expectation held.</source>
        <translation>Superado: se han cumplido todas las expectativas.</translation>
    </message>
    <message>
        <source>The scenario cannot run (see above).</source>
        <translation>El escenario no se puede ejecutar (véase arriba).</translation>
    </message>
    <message>
        <source>Failed: see the first FAILED step above.</source>
        <translation>No superado: vea el primer paso fallido más arriba.</translation>
    </message>
    <message>
        <source>&amp;Exercise</source>
        <translation>&amp;Ejercicio</translation>
    </message>
    <message>
        <source>&amp;Open exercise…</source>
        <translation>&amp;Abrir ejercicio…</translation>
    </message>
    <message>
        <source>&amp;Show exercise</source>
        <translation>&amp;Mostrar ejercicio</translation>
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
<context>
    <name>main</name>
    <message>
        <source>&amp;Variable table</source>
        <translation>Tabla de &amp;variables</translation>
    </message>
    <message>
        <source>Timing &amp;chart</source>
        <translation>&amp;Cronograma</translation>
    </message>
    <message>
        <source>&amp;Timers and counters</source>
        <translation>&amp;Temporizadores y contadores</translation>
    </message>
    <message>
        <source>cannot create folder %1</source>
        <translation>no se puede crear la carpeta %1</translation>
    </message>
    <message>
        <source>cannot create folder %1 (its parent folder does not exist)</source>
        <translation>no se puede crear la carpeta %1 (la carpeta que la contiene no existe)</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>no se puede escribir %1</translation>
    </message>
    <message>
        <source>Wrote %1</source>
        <translation>Escrito %1</translation>
    </message>
    <message>
        <source>there is no display to open the windows on. Run a scenario with --headless --scenario FILE, or render the windows with --screenshot DIR.</source>
        <translation>no hay ninguna pantalla en la que abrir las ventanas. Ejecute un escenario con --headless --scenario FICHERO, o dibuje las ventanas con --screenshot CARPETA.</translation>
    </message>
    <message>
        <source>Wrote the gallery to %1</source>
        <translation>Galería escrita en %1</translation>
    </message>
    <message>
        <source>Wrote the I/O module figure to %1</source>
        <translation>Figura del módulo de E/S escrita en %1</translation>
    </message>
    <message>
        <source>the scenario was interrupted (the window was closed)</source>
        <translation>el escenario se ha interrumpido (se cerró la ventana)</translation>
    </message>
    <message>
        <source>Wrote the chart to %1</source>
        <translation>Cronograma escrito en %1</translation>
    </message>
</context>
</TS>
