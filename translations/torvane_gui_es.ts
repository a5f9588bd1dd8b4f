<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>TAboutWindow</name>
    <message>
        <source>About Torvane</source>
        <translation>Acerca de Torvane</translation>
    </message>
    <message>
        <source>A trainer for PLC programming: write a control program in STL for the built-in S7-300-style soft PLC and run it against an animated lift bridge, wired bit by bit to the PLC&apos;s inputs and outputs.</source>
        <translation>Un entrenador de programación de autómatas: escriba un programa de control en AWL para el autómata software integrado, de estilo S7-300, y ejecútelo sobre un puente levadizo animado, conectado bit a bit a las entradas y salidas del autómata.</translation>
    </message>
    <message>
        <source>Free software under the MIT licence. It comes with no warranty of any kind.</source>
        <translation>Software libre con licencia MIT. Se distribuye sin garantía de ningún tipo.</translation>
    </message>
    <message>
        <source>PLC programming trainer</source>
        <translation>Entrenador de autómatas</translation>
    </message>
</context>
<context>
    <name>TChartWindow</name>
    <message>
        <source>%1: cannot write the chart (%2)</source>
        <translation>%1: no se puede escribir el cronograma (%2)</translation>
    </message>
    <message>
        <source>%1: cannot encode the chart as PNG</source>
        <translation>%1: no se puede codificar el cronograma como PNG</translation>
    </message>
    <message>
        <source>Timing chart</source>
        <translation>Cronograma</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Ampliar</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Reducir</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>En directo</translation>
    </message>
    <message>
        <source>Export PNG…</source>
        <translation>Exportar PNG…</translation>
    </message>
    <message>
        <source>Export SVG…</source>
        <translation>Exportar SVG…</translation>
    </message>
    <message>
        <source>Export VCD…</source>
        <translation>Exportar VCD…</translation>
    </message>
    <message>
        <source>Add a trace: M20.2, MW 10, T 1, &quot;SUBIR&quot;</source>
        <translation>Añadir: M20.2, MW 10, T 1, &quot;SUBIR&quot;</translation>
    </message>
    <message>
        <source>Click the chart to read the values at that moment.</source>
        <translation>Haga clic en el cronograma para leer los valores de ese instante.</translation>
    </message>
    <message>
        <source>Cursor at %1 s; the values at that moment stand beside the names.</source>
        <translation>Cursor en %1 s; los valores de ese instante aparecen junto a los nombres.</translation>
    </message>
    <message>
        <source>%1 is recorded from now on.</source>
        <translation>%1 se registra a partir de ahora.</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>Imagen PNG (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>Dibujo SVG (*.svg)</translation>
    </message>
    <message>
        <source>Value change dump (*.vcd)</source>
        <translation>Volcado de cambios de valor (*.vcd)</translation>
    </message>
    <message>
        <source>Export the chart</source>
        <translation>Exportar el cronograma</translation>
    </message>
    <message>
        <source>chart</source>
        <translation>cronograma</translation>
    </message>
    <message>
        <source>Wrote %1</source>
        <translation>Escrito %1</translation>
    </message>
</context>
<context>
    <name>TClockBar</name>
    <message>
        <source>Plant time</source>
        <translation>Tiempo de planta</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Stops the plant, the CPU and its timers together</source>
        <translation>Detiene a la vez la planta, la CPU y sus temporizadores</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Paso</translation>
    </message>
    <message>
        <source>One plant tick of 50 ms: inputs to the CPU, one CPU cycle, one plant step</source>
        <translation>Un tic de planta de 50 ms: entradas a la CPU, un ciclo de CPU, un paso de planta</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Velocidad</translation>
    </message>
    <message>
        <source>Variable table…</source>
        <translation>Tabla de variables…</translation>
    </message>
    <message>
        <source>Timing chart…</source>
        <translation>Cronograma…</translation>
    </message>
    <message>
        <source>Timers…</source>
        <translation>Temporizadores…</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Continuar</translation>
    </message>
</context>
<context>
    <name>TCodeEditor</name>
    <message>
        <source>warning: %1</source>
        <translation>aviso: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a known symbol</source>
        <translation>&quot;%1&quot; no es un símbolo conocido</translation>
    </message>
    <message>
        <source>%1 has no symbol</source>
        <translation>%1 no tiene símbolo</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>TGallery</name>
    <message>
        <source>Torvane gallery</source>
        <translation>Galería de Torvane</translation>
    </message>
    <message>
        <source>Torvane: %1 components, %2 pictures</source>
        <translation>Torvane: %1 componentes, %2 imágenes</translation>
    </message>
    <message>
        <source>Components on the palette</source>
        <translation>Componentes de la paleta</translation>
    </message>
    <message>
        <source>(none registered)</source>
        <translation>(ninguno registrado)</translation>
    </message>
    <message>
        <source>not a control</source>
        <translation>no es un control</translation>
    </message>
    <message>
        <source>Pictures at their natural size (vector, then raster)</source>
        <translation>Imágenes a su tamaño natural (vectoriales y luego de mapa de bits)</translation>
    </message>
    <message>
        <source>The bridge, FRAMES_0 to FRAMES_%1, at %2 x %2</source>
        <translation>El puente, de FRAMES_0 a FRAMES_%1, a %2 x %2</translation>
    </message>
    <message>
        <source>Cannot render the gallery</source>
        <translation>No se puede dibujar la galería</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>No se puede escribir %1</translation>
    </message>
</context>
<context>
    <name>TMainWindow</name>
    <message>
        <source>&amp;Windows</source>
        <translation>&amp;Ventanas</translation>
    </message>
    <message>
        <source>&amp;PLC</source>
        <translation>&amp;PLC</translation>
    </message>
    <message>
        <source>&amp;Simulator</source>
        <translation>&amp;Simulador</translation>
    </message>
    <message>
        <source>&amp;Plant</source>
        <translation>&amp;Planta</translation>
    </message>
    <message>
        <source>&amp;Reset plant</source>
        <translation>&amp;Reiniciar la planta</translation>
    </message>
</context>
<context>
    <name>TModbusPlc</name>
    <message>
        <source>%1 &quot;%2&quot; is not a number from %3 to %4</source>
        <translation>%1 &quot;%2&quot; no es un número de %3 a %4</translation>
    </message>
    <message>
        <source>host &quot;%1&quot; has no closing &apos;]&apos;</source>
        <translation>al host &quot;%1&quot; le falta el &apos;]&apos; de cierre</translation>
    </message>
    <message>
        <source>unexpected &quot;%1&quot; after the host &quot;%2&quot;</source>
        <translation>&quot;%1&quot; inesperado tras el host &quot;%2&quot;</translation>
    </message>
    <message>
        <source>host &quot;%1&quot; is not an IPv6 address</source>
        <translation>el host &quot;%1&quot; no es una dirección IPv6</translation>
    </message>
    <message>
        <source>host &quot;%1&quot;: write an IPv6 address in brackets, as in [::1]:502</source>
        <translation>host &quot;%1&quot;: escriba una dirección IPv6 entre corchetes, como en [::1]:502</translation>
    </message>
    <message>
        <source>the host is missing (expected HOST[:PORT] first)</source>
        <translation>falta el host (se esperaba primero HOST[:PUERTO])</translation>
    </message>
    <message>
        <source>host &quot;%1&quot; is not a host name or address</source>
        <translation>el host &quot;%1&quot; no es un nombre de host ni una dirección</translation>
    </message>
    <message>
        <source>option &quot;%1&quot; is not of the form NAME=VALUE</source>
        <translation>la opción &quot;%1&quot; no tiene la forma NOMBRE=VALOR</translation>
    </message>
    <message>
        <source>option &quot;%1&quot; is given twice</source>
        <translation>la opción &quot;%1&quot; aparece dos veces</translation>
    </message>
    <message>
        <source>outputs-area &quot;%1&quot; is neither &quot;holding&quot; nor &quot;input&quot;</source>
        <translation>outputs-area &quot;%1&quot; no es ni &quot;holding&quot; ni &quot;input&quot;</translation>
    </message>
    <message>
        <source>unknown option &quot;%1&quot; (known: unit, inputs, outputs, outputs-area, run-coil, timeout, retry)</source>
        <translation>opción desconocida &quot;%1&quot; (se conocen: unit, inputs, outputs, outputs-area, run-coil, timeout, retry)</translation>
    </message>
    <message>
        <source>the output registers %1..%2 overlap the input registers %3..%4</source>
        <translation>los registros de salida %1..%2 se solapan con los registros de entrada %3..%4</translation>
    </message>
    <message>
        <source>cannot set up a Modbus TCP client for %1: %2</source>
        <translation>no se puede preparar un cliente Modbus TCP para %1: %2</translation>
    </message>
    <message>
        <source>cannot connect to %1: %2</source>
        <translation>no se puede conectar con %1: %2</translation>
    </message>
    <message>
        <source>read coils (function 1) at %1</source>
        <translation>la lectura de bobinas (función 1) en %1</translation>
    </message>
    <message>
        <source>write multiple registers (function 16) at %1</source>
        <translation>la escritura de varios registros (función 16) en %1</translation>
    </message>
    <message>
        <source>read holding registers (function 3) at %1</source>
        <translation>la lectura de registros de retención (función 3) en %1</translation>
    </message>
    <message>
        <source>read input registers (function 4) at %1</source>
        <translation>la lectura de registros de entrada (función 4) en %1</translation>
    </message>
    <message>
        <source>write single coil (function 5) at %1</source>
        <translation>la escritura de una bobina (función 5) en %1</translation>
    </message>
    <message>
        <source>answered %1 items instead of %2</source>
        <translation>respondió %1 elementos en lugar de %2</translation>
    </message>
    <message>
        <source>Modbus peer %1 (unit %2): %3 failed: %4</source>
        <translation>Equipo Modbus %1 (unidad %2): falló %3: %4</translation>
    </message>
    <message>
        <source>no complete answer within %1 ms (%2)</source>
        <translation>ninguna respuesta completa en %1 ms (%2)</translation>
    </message>
    <message>
        <source>no answer to the connection request within %1 ms</source>
        <translation>ninguna respuesta a la petición de conexión en %1 ms</translation>
    </message>
    <message>
        <source>the answer does not fit the request: another transaction, function or size (%1)</source>
        <translation>la respuesta no corresponde a la petición: otra transacción, función o tamaño (%1)</translation>
    </message>
    <message>
        <source>%1; the PLC shows STOP and its outputs are off until the link is back</source>
        <translation>%1; el PLC muestra STOP y sus salidas quedan desactivadas hasta que vuelva el enlace</translation>
    </message>
    <message>
        <source>Modbus link to %1 still down: %2</source>
        <translation>El enlace Modbus con %1 sigue caído: %2</translation>
    </message>
    <message>
        <source>Modbus link to %1 restored</source>
        <translation>Enlace Modbus con %1 restablecido</translation>
    </message>
    <message>
        <source>PLC back end &quot;%1&quot;: %2</source>
        <translation>Motor de PLC &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>PLC back end &quot;%1&quot; is not known (expected &quot;embedded&quot; or &quot;%2&quot;)</source>
        <translation>El motor de PLC &quot;%1&quot; no se conoce (se esperaba &quot;embedded&quot; o &quot;%2&quot;)</translation>
    </message>
</context>
<context>
    <name>TPLC</name>
    <message>
        <source>no simulator back end is installed</source>
        <translation>no hay ningún motor de simulación instalado</translation>
    </message>
    <message>
        <source>the %1 simulator is not running</source>
        <translation>el simulador %1 no está en marcha</translation>
    </message>
    <message>
        <source>the %1 simulator could not be created (code %2)</source>
        <translation>no se pudo crear el simulador %1 (código %2)</translation>
    </message>
    <message>
        <source>the %1 simulator did not accept a connection after %2 attempts (code %3)</source>
        <translation>el simulador %1 no aceptó la conexión tras %2 intentos (código %3)</translation>
    </message>
    <message>
        <source>the %1 simulator did not accept a connection after %2 attempts (code %3): %4</source>
        <translation>el simulador %1 no aceptó la conexión tras %2 intentos (código %3): %4</translation>
    </message>
</context>
<context>
    <name>TProgramEditor</name>
    <message>
        <source>New</source>
        <translation>Nuevo</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>Guardar como…</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Deshacer</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rehacer</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Cargar en CPU</translation>
    </message>
    <message>
        <source>Compile every tab and, if it compiles, replace the CPU&apos;s program</source>
        <translation>Compila todas las pestañas y, si compilan, sustituye el programa de la CPU</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>Observar</translation>
    </message>
    <message>
        <source>Program status of the front tab: RLO, STA, ACCU 1, ACCU 2, operand</source>
        <translation>Estado del programa de la pestaña visible: RLO, STA, ACCU 1, ACCU 2, operando</translation>
    </message>
    <message>
        <source>Find (Ctrl+F, Enter for the next)</source>
        <translation>Buscar (Ctrl+F, Intro para el siguiente)</translation>
    </message>
    <message>
        <source>Line (Ctrl+L)</source>
        <translation>Línea (Ctrl+L)</translation>
    </message>
    <message>
        <source>Call:</source>
        <translation>Llamada:</translation>
    </message>
    <message>
        <source>Which execution of a block&apos;s lines the status shows</source>
        <translation>Qué ejecución de las líneas de un bloque muestra el estado</translation>
    </message>
    <message>
        <source>first execution</source>
        <translation>primera ejecución</translation>
    </message>
    <message>
        <source>Click a message to go to its place</source>
        <translation>Haga clic en un mensaje para ir a su lugar</translation>
    </message>
    <message>
        <source>Save STL program</source>
        <translation>Guardar programa AWL</translation>
    </message>
    <message>
        <source>STL programs (*.awl *.stl);;All files (*)</source>
        <translation>Programas AWL (*.awl *.stl);;Todos los ficheros (*)</translation>
    </message>
    <message>
        <source>New program for the lift bridge.</source>
        <translation>Programa nuevo para el puente levadizo.</translation>
    </message>
    <message>
        <source>Inputs</source>
        <translation>Entradas</translation>
    </message>
    <message>
        <source>Outputs</source>
        <translation>Salidas</translation>
    </message>
    <message>
        <source>Main cycle</source>
        <translation>Ciclo principal</translation>
    </message>
    <message>
        <source>start information</source>
        <translation>información de arranque</translation>
    </message>
    <message>
        <source>First network</source>
        <translation>Primer segmento</translation>
    </message>
    <message>
        <source>untitled.awl</source>
        <translation>sin_nombre.awl</translation>
    </message>
    <message>
        <source>untitled%1.awl</source>
        <translation>sin_nombre%1.awl</translation>
    </message>
    <message>
        <source>Saved %1.</source>
        <translation>Guardado %1.</translation>
    </message>
    <message>
        <source>%1 has unsaved changes. Save before loading?</source>
        <translation>%1 tiene cambios sin guardar. ¿Guardar antes de cargar?</translation>
    </message>
    <message>
        <source>%1 has unsaved changes. Save before reloading?</source>
        <translation>%1 tiene cambios sin guardar. ¿Guardar antes de recargar?</translation>
    </message>
    <message>
        <source>%1 has unsaved changes. Save before closing Torvane?</source>
        <translation>%1 tiene cambios sin guardar. ¿Guardar antes de cerrar Torvane?</translation>
    </message>
    <message>
        <source>Nothing to download: open or start a program first.</source>
        <translation>Nada que cargar: abra o empiece antes un programa.</translation>
    </message>
    <message>
        <source>The CPU is in RUN. Switch it to STOP and download?</source>
        <translation>La CPU está en RUN. ¿Pasarla a STOP y cargar?</translation>
    </message>
    <message>
        <source>Download cancelled: the CPU stays in RUN with its program.</source>
        <translation>Carga cancelada: la CPU sigue en RUN con su programa.</translation>
    </message>
    <message numerus="yes">
        <source>Download refused: %n error(s). The CPU keeps its program.</source>
        <translation>
            <numerusform>Carga rechazada: %n error. La CPU conserva su programa.</numerusform>
            <numerusform>Carga rechazada: %n errores. La CPU conserva su programa.</numerusform>
        </translation>
    </message>
    <message>
        <source>Downloaded: %1.</source>
        <translation>Cargado en la CPU: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; not found.</source>
        <translation>No se encontró &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>%1: cannot be read (%2)</source>
        <translation>%1: no se puede leer (%2)</translation>
    </message>
    <message>
        <source>%1:%2: &apos;%3&apos; cannot be written in this file&apos;s encoding (Windows-1252)</source>
        <translation>%1:%2: &apos;%3&apos; no se puede escribir en la codificación de este fichero (Windows-1252)</translation>
    </message>
    <message>
        <source>%1: cannot be written (%2); the file on disk is unchanged</source>
        <translation>%1: no se puede escribir (%2); el fichero del disco no ha cambiado</translation>
    </message>
    <message>
        <source>%1Operand</source>
        <extracomment>Heading of the status column: %1 is the padded mnemonics RLO, STA, ACCU 1 and ACCU 2.</extracomment>
        <translation>%1Operando</translation>
    </message>
</context>
<context>
    <name>TProgramStatus</name>
    <message>
        <source>%1 called from %2 line %3 with DB %4</source>
        <translation>%1 llamado desde %2, línea %3, con DB %4</translation>
    </message>
    <message>
        <source>%1 called from %2 line %3</source>
        <translation>%1 llamado desde %2, línea %3</translation>
    </message>
</context>
<context>
    <name>TSimulatorWindowView</name>
    <message>
        <source>Torvane PLC simulator</source>
        <translation>Simulador de PLC de Torvane</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Programa</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Fichero:</translation>
    </message>
    <message>
        <source>Blocks:</source>
        <translation>Bloques:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Tamaño:</translation>
    </message>
    <message>
        <source>Load…</source>
        <translation>Cargar…</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Recargar</translation>
    </message>
    <message>
        <source>Variable table…</source>
        <translation>Tabla de variables…</translation>
    </message>
    <message>
        <source>Timers…</source>
        <translation>Temporizadores…</translation>
    </message>
    <message>
        <source>Diagnostics</source>
        <translation>Diagnóstico</translation>
    </message>
    <message>
        <source>Process image</source>
        <translation>Imagen de proceso</translation>
    </message>
    <message>
        <source>%1 from</source>
        <translation>%1 desde</translation>
    </message>
    <message>
        <source>Byte</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>Bits 7…0</source>
        <translation>Bits 7…0</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Dec</source>
        <translation>Dec</translation>
    </message>
    <message>
        <source>Load STL program</source>
        <translation>Cargar programa AWL</translation>
    </message>
    <message>
        <source>STL programs and symbol tables (*.awl *.stl *.txt *.sdf *.seq *.asc);;All files (*)</source>
        <translation>Programas AWL y tablas de símbolos (*.awl *.stl *.txt *.sdf *.seq *.asc);;Todos los ficheros (*)</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nada</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 y %n más</numerusform>
            <numerusform>%1 y %n más</numerusform>
        </translation>
    </message>
    <message>
        <source>Loaded %1.</source>
        <translation>Cargado %1.</translation>
    </message>
    <message numerus="yes">
        <source>%1 refused: %n error(s), see the diagnostics. The running program stays.</source>
        <translation>
            <numerusform>%1 rechazado: %n error, vea el diagnóstico. El programa en marcha se mantiene.</numerusform>
            <numerusform>%1 rechazado: %n errores, vea el diagnóstico. El programa en marcha se mantiene.</numerusform>
        </translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(ninguno)</translation>
    </message>
    <message>
        <source>%1 instructions, %2 bytes of code</source>
        <translation>%1 instrucciones, %2 bytes de código</translation>
    </message>
    <message>
        <source>Cycles: %1</source>
        <translation>Ciclos: %1</translation>
    </message>
    <message>
        <source>FORCE ACTIVE: 1 bit forced</source>
        <translation>FORZADO ACTIVO: 1 bit forzado</translation>
    </message>
    <message numerus="yes">
        <source>FORCE ACTIVE: %n bits forced</source>
        <translation>
            <numerusform>FORZADO ACTIVO: %n bit forzado</numerusform>
            <numerusform>FORZADO ACTIVO: %n bits forzados</numerusform>
        </translation>
    </message>
    <message>
        <source>Scan time: last %1, max %2</source>
        <translation>Tiempo de ciclo: último %1, máx. %2</translation>
    </message>
    <message>
        <source>cycle %1: %2</source>
        <translation>ciclo %1: %2</translation>
    </message>
    <message>
        <source>network %1</source>
        <translation>segmento %1</translation>
    </message>
    <message>
        <source>cannot open the symbol table</source>
        <translation>no se puede abrir la tabla de símbolos</translation>
    </message>
    <message>
        <source>No program file has been loaded yet</source>
        <translation>Todavía no se ha cargado ningún fichero de programa</translation>
    </message>
</context>
<context>
    <name>TTimersView</name>
    <message>
        <source>Timers and counters</source>
        <translation>Temporizadores y contadores</translation>
    </message>
    <message>
        <source>Timers the program uses</source>
        <translation>Temporizadores que usa el programa</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Temporizador</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valor</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>Unidades</translation>
    </message>
    <message>
        <source>Time base</source>
        <translation>Base de tiempo</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>Counters the program uses</source>
        <translation>Contadores que usa el programa</translation>
    </message>
    <message>
        <source>Counter</source>
        <translation>Contador</translation>
    </message>
    <message>
        <source>running</source>
        <translation>en marcha</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>parado</translation>
    </message>
</context>
<context>
    <name>TWatchWindow</name>
    <message>
        <source>Variable table</source>
        <translation>Tabla de variables</translation>
    </message>
    <message>
        <source>E124.1, AW126, MD20, DB1.DBW2, T 3, Z 1 or &quot;SUBIR&quot;</source>
        <translation>E124.1, AW126, MD20, DB1.DBW2, T 3, Z 1 o &quot;SUBIR&quot;</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Operand</source>
        <translation>Operando</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Dirección</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Formato</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valor</translation>
    </message>
    <message>
        <source>Modify value</source>
        <translation>Valor nuevo</translation>
    </message>
    <message>
        <source>Force</source>
        <translation>Forzar</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>Modificar</translation>
    </message>
    <message>
        <source>Unforce</source>
        <translation>Desforzar</translation>
    </message>
    <message>
        <source>Unforce all</source>
        <translation>Desforzar todo</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation>Abrir…</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>Guardar…</translation>
    </message>
    <message>
        <source>1 value is written at the next cycle</source>
        <translation>1 valor se escribe en el próximo ciclo</translation>
    </message>
    <message numerus="yes">
        <source>%n values are written at the next cycle</source>
        <translation>
            <numerusform>%n valor se escribe en el próximo ciclo</numerusform>
            <numerusform>%n valores se escriben en el próximo ciclo</numerusform>
        </translation>
    </message>
    <message>
        <source>1 operand forced</source>
        <translation>1 operando forzado</translation>
    </message>
    <message numerus="yes">
        <source>%n operands forced</source>
        <translation>
            <numerusform>%n operando forzado</numerusform>
            <numerusform>%n operandos forzados</numerusform>
        </translation>
    </message>
    <message>
        <source>Every force ended</source>
        <translation>Se han anulado todos los forzados</translation>
    </message>
    <message>
        <source>(not in the program)</source>
        <translation>(no está en el programa)</translation>
    </message>
    <message>
        <source>F</source>
        <translation>F</translation>
    </message>
    <message>
        <source>FORCE ACTIVE: 1 bit of the inputs and outputs is forced</source>
        <translation>FORZADO ACTIVO: 1 bit de las entradas y salidas está forzado</translation>
    </message>
    <message numerus="yes">
        <source>FORCE ACTIVE: %n bits of the inputs and outputs are forced</source>
        <translation>
            <numerusform>FORZADO ACTIVO: %n bit de las entradas y salidas está forzado</numerusform>
            <numerusform>FORZADO ACTIVO: %n bits de las entradas y salidas están forzados</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: cannot save the table (%2)</source>
        <translation>%1: no se puede guardar la tabla (%2)</translation>
    </message>
    <message>
        <source>%1: cannot open the table (%2)</source>
        <translation>%1: no se puede abrir la tabla (%2)</translation>
    </message>
    <message>
        <source>Opened %1</source>
        <translation>Abierta %1</translation>
    </message>
    <message>
        <source>Save the variable table</source>
        <translation>Guardar la tabla de variables</translation>
    </message>
    <message>
        <source>table.vat.txt</source>
        <translation>tabla.vat.txt</translation>
    </message>
    <message>
        <source>Variable tables (*.txt);;All files (*)</source>
        <translation>Tablas de variables (*.txt);;Todos los ficheros (*)</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Guardada %1</translation>
    </message>
    <message>
        <source>Open a variable table</source>
        <translation>Abrir una tabla de variables</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an address (E124.1, AW126, MD20, DB1.DBW2, T 3)</source>
        <translation>&apos;%1&apos; no es una dirección (E124.1, AW126, MD20, DB1.DBW2, T 3)</translation>
    </message>
    <message>
        <source>an operand is missing</source>
        <translation>falta un operando</translation>
    </message>
    <message>
        <source>&apos;%1&apos; lies outside the CPU&apos;s memory</source>
        <translation>&apos;%1&apos; está fuera de la memoria de la CPU</translation>
    </message>
    <message>
        <source>symbol &quot;%1&quot;: %2</source>
        <translation>símbolo &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>there is no symbol &quot;%1&quot;</source>
        <translation>no existe el símbolo &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is no value for the bit %2 (TRUE, FALSE, 1 or 0)</source>
        <translation>&apos;%1&apos; no es un valor para el bit %2 (TRUE, FALSE, 1 o 0)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; does not fit %2</source>
        <translation>&apos;%1&apos; no cabe en %2</translation>
    </message>
    <message>
        <source>%1: timers and counters can be watched, not modified</source>
        <translation>%1: los temporizadores y contadores se pueden observar, no modificar</translation>
    </message>
    <message>
        <source>%1 does not exist in the loaded program</source>
        <translation>%1 no existe en el programa cargado</translation>
    </message>
    <message>
        <source>%1: only inputs and outputs can be forced</source>
        <translation>%1: solo se pueden forzar entradas y salidas</translation>
    </message>
    <message>
        <source>the format %1 does not suit %2</source>
        <translation>el formato %1 no es adecuado para %2</translation>
    </message>
    <message>
        <source>Force</source>
        <comment>column: whether the operand is forced</comment>
        <translation>Forzado</translation>
    </message>
</context>
</TS>
