<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>grading</name>
    <message>
        <source>there is no exercise.toml in this folder</source>
        <translation>no hay ningún exercise.toml en esta carpeta</translation>
    </message>
    <message>
        <source>the exercise needs a title (a string)</source>
        <translation>el ejercicio necesita un título (title, un texto)</translation>
    </message>
    <message>
        <source>the exercise needs a statement (Markdown text)</source>
        <translation>el ejercicio necesita un enunciado (statement, texto Markdown)</translation>
    </message>
    <message>
        <source>symbol table %1 does not exist</source>
        <translation>la tabla de símbolos %1 no existe</translation>
    </message>
    <message>
        <source>symbols must be the name of a file</source>
        <translation>symbols debe ser el nombre de un fichero</translation>
    </message>
    <message>
        <source>limits.time is the seconds one scenario may take: above 0, at most 600</source>
        <translation>limits.time son los segundos que puede durar un escenario: más de 0 y 600 como máximo</translation>
    </message>
    <message>
        <source>limits.memory is the MiB one run may use: 64 to 65536</source>
        <translation>limits.memory son los MiB que puede usar una ejecución: de 64 a 65536</translation>
    </message>
    <message>
        <source>limits must be a table</source>
        <translation>limits debe ser una tabla</translation>
    </message>
    <message>
        <source>the exercise needs at least one [[scenario]]</source>
        <translation>el ejercicio necesita al menos un [[scenario]]</translation>
    </message>
    <message>
        <source>each scenario is a table with file, weight and visible</source>
        <translation>cada escenario es una tabla con file, weight y visible</translation>
    </message>
    <message>
        <source>a scenario needs file = &quot;scenarios/NAME.scn&quot;</source>
        <translation>un escenario necesita file = &quot;scenarios/NOMBRE.scn&quot;</translation>
    </message>
    <message>
        <source>scenario %1 does not exist</source>
        <translation>el escenario %1 no existe</translation>
    </message>
    <message>
        <source>weight must be a number, 0 or more</source>
        <translation>weight debe ser un número, 0 o mayor</translation>
    </message>
    <message>
        <source>visible must be true or false</source>
        <translation>visible debe ser true o false</translation>
    </message>
    <message>
        <source>scenario %1 is listed twice</source>
        <translation>el escenario %1 aparece dos veces</translation>
    </message>
    <message>
        <source>the solution folder holds no source</source>
        <translation>la carpeta de la solución no contiene ningún código fuente</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>no se puede escribir %1</translation>
    </message>
    <message>
        <source>cannot read the scenario: %1</source>
        <translation>no se puede leer el escenario: %1</translation>
    </message>
    <message>
        <source>The exercise reads well; it has no solution/ to run the scenarios against.</source>
        <translation>El ejercicio se lee bien; no tiene solution/ con la que ejecutar los escenarios.</translation>
    </message>
    <message>
        <source>the solution fails: %1 (%2)</source>
        <translation>la solución falla: %1 (%2)</translation>
    </message>
    <message>
        <source>the solution %1: %2</source>
        <translation>la solución %1: %2</translation>
    </message>
    <message>
        <source>The exercise reads well and its solution passes all %1 scenarios.</source>
        <translation>El ejercicio se lee bien y su solución supera los %1 escenarios.</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 necesita un valor</translation>
    </message>
    <message>
        <source>--jobs takes a number from 1 to 64, not %1</source>
        <translation>--jobs admite un número de 1 a 64, no %1</translation>
    </message>
    <message>
        <source>unknown option %1 for grade</source>
        <translation>opción desconocida %1 para grade</translation>
    </message>
    <message>
        <source>usage: %1</source>
        <translation>uso: %1</translation>
    </message>
    <message>
        <source>%1 is not a folder of submissions</source>
        <translation>%1 no es una carpeta de entregas</translation>
    </message>
    <message>
        <source>%1 holds no submission</source>
        <translation>%1 no contiene ninguna entrega</translation>
    </message>
    <message>
        <source>%1 has no scenario students may run</source>
        <translation>%1 no tiene ningún escenario que los alumnos puedan ejecutar</translation>
    </message>
    <message>
        <source>the submission holds no source</source>
        <translation>la entrega no contiene ningún código fuente</translation>
    </message>
    <message>
        <source>cannot start %1</source>
        <translation>no se puede iniciar %1</translation>
    </message>
    <message>
        <source>did not finish within %1 s of wall time (a loop?)</source>
        <translation>no terminó en %1 s de tiempo real (¿un bucle?)</translation>
    </message>
    <message>
        <source>the run crashed or ran out of memory (limit %1 MiB)</source>
        <translation>la ejecución se colgó o se quedó sin memoria (límite %1 MiB)</translation>
    </message>
    <message>
        <source>the program did not load</source>
        <translation>el programa no se cargó</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>línea %1: %2</translation>
    </message>
    <message>
        <source>line %1: %2 (%3)</source>
        <translation>línea %1: %2 (%3)</translation>
    </message>
    <message>
        <source>passed</source>
        <translation>superado</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fallido</translation>
    </message>
    <message>
        <source>does not load</source>
        <translation>no carga</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>tiempo agotado</translation>
    </message>
    <message>
        <source>crashed</source>
        <translation>colgado</translation>
    </message>
    <message>
        <source>Student</source>
        <translation>Alumno</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Nota</translation>
    </message>
    <message>
        <source>The program does not load:</source>
        <translation>El programa no carga:</translation>
    </message>
    <message>
        <source>Line %1, %2 s: expected %3, seen %4</source>
        <translation>Línea %1, %2 s: se esperaba %3, se vio %4</translation>
    </message>
    <message>
        <source>%1 is %2</source>
        <translation>%1 vale %2</translation>
    </message>
</context>
<context>
    <name>scenario</name>
    <message>
        <source>%1: this is one of the run&apos;s inputs (%2); choose another file to write</source>
        <translation>%1: es uno de los ficheros de entrada de la ejecución (%2); elija otro fichero para escribir</translation>
    </message>
    <message>
        <source>%1: exists and is not a regular file; choose a file to write</source>
        <translation>%1: existe y no es un fichero normal; elija un fichero para escribir</translation>
    </message>
    <message>
        <source>%1: exists and was not written by Torvane; it is left alone (remove it or choose another name)</source>
        <translation>%1: existe y no lo escribió Torvane; se deja como está (bórrelo o elija otro nombre)</translation>
    </message>
    <message>
        <source>%1: the folder %2 does not exist</source>
        <translation>%1: la carpeta %2 no existe</translation>
    </message>
    <message>
        <source>empty symbol name &quot;&quot;</source>
        <translation>nombre de símbolo vacío &quot;&quot;</translation>
    </message>
    <message>
        <source>bit number must be 0 to 7 in &apos;%1&apos;</source>
        <translation>el número de bit debe ser de 0 a 7 en &apos;%1&apos;</translation>
    </message>
    <message>
        <source>byte address too large in &apos;%1&apos;</source>
        <translation>dirección de byte demasiado grande en &apos;%1&apos;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an operand: write a PLC bit (E124.1, A124.0), a symbol in double quotes (&quot;FC_D&quot;) or Component.Property (KM1.State)</source>
        <translation>&apos;%1&apos; no es un operando: escriba un bit del PLC (E124.1, A124.0), un símbolo entre comillas dobles (&quot;FC_D&quot;) o Componente.Propiedad (KM1.State)</translation>
    </message>
    <message>
        <source>missing value after the comparison</source>
        <translation>falta el valor después de la comparación</translation>
    </message>
    <message>
        <source>unterminated text %1</source>
        <translation>texto sin cerrar %1</translation>
    </message>
    <message>
        <source>unterminated symbol name</source>
        <translation>nombre de símbolo sin cerrar</translation>
    </message>
    <message>
        <source>missing condition (OPERAND OP VALUE)</source>
        <translation>falta la condición (OPERANDO OP VALOR)</translation>
    </message>
    <message>
        <source>expected one of == != &lt; &lt;= &gt; &gt;= after %1</source>
        <translation>se esperaba uno de == != &lt; &lt;= &gt; &gt;= después de %1</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is longer than the limit of %2 h (%3 s) for one step</source>
        <translation>&apos;%1&apos; supera el límite de %2 h (%3 s) para un paso</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a duration (write 2.5s, 300ms or 40ticks)</source>
        <translation>&apos;%1&apos; no es una duración (escriba 2.5s, 300ms o 40ticks)</translation>
    </message>
    <message>
        <source>too many errors; stopped reading the scenario</source>
        <translation>demasiados errores; se deja de leer el escenario</translation>
    </message>
    <message>
        <source>mode must be RUN, RUN_P, STOP or MRES, not &apos;%1&apos;</source>
        <translation>el modo debe ser RUN, RUN_P, STOP o MRES, no &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1 needs one component name</source>
        <translation>%1 necesita un nombre de componente</translation>
    </message>
    <message>
        <source>execute needs the name of a test</source>
        <translation>execute necesita el nombre de una prueba</translation>
    </message>
    <message>
        <source>wait needs &apos;timeout DURATION&apos; at the end</source>
        <translation>wait necesita &apos;timeout DURACIÓN&apos; al final</translation>
    </message>
    <message>
        <source>fault needs a target and what fails: stuck 0, stuck 1, broken, slow FACTOR, jam, welded or bounce DURATION</source>
        <translation>fault necesita un destino y qué falla: stuck 0, stuck 1, broken, slow FACTOR, jam, welded o bounce DURACIÓN</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a fault (stuck 0, stuck 1, broken, slow 1 to 10, jam, welded, bounce DURATION)</source>
        <translation>&apos;%1&apos; no es un fallo (stuck 0, stuck 1, broken, slow 1 a 10, jam, welded, bounce DURACIÓN)</translation>
    </message>
    <message>
        <source>clear needs one input, or all</source>
        <translation>clear necesita una entrada, o all</translation>
    </message>
    <message>
        <source>reset takes nothing after it</source>
        <translation>reset no admite nada detrás</translation>
    </message>
    <message>
        <source>%1 needs an operand and a value</source>
        <translation>%1 necesita un operando y un valor</translation>
    </message>
    <message>
        <source>unforce needs an operand, or all</source>
        <translation>unforce necesita un operando, o all</translation>
    </message>
    <message>
        <source>unknown step &apos;%1&apos; (mode, run, press, release, click, execute, expect, wait, fault, clear, reset, force, unforce, modify)</source>
        <translation>paso desconocido &apos;%1&apos; (mode, run, press, release, click, execute, expect, wait, fault, clear, reset, force, unforce, modify)</translation>
    </message>
    <message>
        <source>the scenario checks nothing: it has no &apos;expect&apos; or &apos;wait&apos; step</source>
        <translation>el escenario no comprueba nada: no tiene ningún paso &apos;expect&apos; ni &apos;wait&apos;</translation>
    </message>
    <message>
        <source>too many errors; stopped checking the scenario</source>
        <translation>demasiados errores; se deja de comprobar el escenario</translation>
    </message>
    <message>
        <source>ERROR %1</source>
        <translation>ERROR %1</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>correcto</translation>
    </message>
    <message>
        <source>FAILED (%1 is %2)</source>
        <translation>FALLO (%1 vale %2)</translation>
    </message>
    <message>
        <source>%1 passed, %2 failed</source>
        <translation>%1 correctos, %2 fallidos</translation>
    </message>
</context>
<context>
    <name>softplc</name>
    <message>
        <source>no operand</source>
        <translation>ningún operando</translation>
    </message>
    <message>
        <source>a bit such as E 0.0 or M 10.1</source>
        <translation>un bit como E 0.0 o M 10.1</translation>
    </message>
    <message>
        <source>a bit such as I 0.0 or M 10.1</source>
        <translation>un bit como I 0.0 o M 10.1</translation>
    </message>
    <message>
        <source>a timer such as T 1</source>
        <translation>un temporizador como T 1</translation>
    </message>
    <message>
        <source>a counter such as Z 1</source>
        <translation>un contador como Z 1</translation>
    </message>
    <message>
        <source>a counter such as C 1</source>
        <translation>un contador como C 1</translation>
    </message>
    <message>
        <source>a status bit such as OV or ==0</source>
        <translation>un bit de estado como OV o ==0</translation>
    </message>
    <message>
        <source>a byte such as MB 10</source>
        <translation>un byte como MB 10</translation>
    </message>
    <message>
        <source>a word such as MW 10</source>
        <translation>una palabra como MW 10</translation>
    </message>
    <message>
        <source>a double word such as MD 10</source>
        <translation>una palabra doble como MD 10</translation>
    </message>
    <message>
        <source>a constant</source>
        <translation>una constante</translation>
    </message>
    <message>
        <source>a 16-bit constant such as W#16#FF</source>
        <translation>una constante de 16 bits como W#16#FF</translation>
    </message>
    <message>
        <source>a 32-bit constant such as DW#16#FF</source>
        <translation>una constante de 32 bits como DW#16#FF</translation>
    </message>
    <message>
        <source>an integer such as 5</source>
        <translation>un entero como 5</translation>
    </message>
    <message>
        <source>a double integer such as L#5</source>
        <translation>un entero doble como L#5</translation>
    </message>
    <message>
        <source>a number from 0 to %1</source>
        <translation>un número de 0 a %1</translation>
    </message>
    <message>
        <source>a jump label</source>
        <translation>una meta de salto</translation>
    </message>
    <message>
        <source>a block such as FC 1 or FB 1, DB 1</source>
        <translation>un bloque como FC 1 o FB 1, DB 1</translation>
    </message>
    <message>
        <source>a data block such as DB 1 or DI 1</source>
        <translation>un bloque de datos como DB 1 o DI 1</translation>
    </message>
    <message>
        <source>DBNO, DBLG, DINO or DILG</source>
        <translation>DBNO, DBLG, DINO o DILG</translation>
    </message>
    <message>
        <source>an operand</source>
        <translation>un operando</translation>
    </message>
    <message>
        <source>the address %1 needs a number</source>
        <translation>la dirección %1 necesita un número</translation>
    </message>
    <message>
        <source>unexpected %1 after the address</source>
        <translation>%1 inesperado después de la dirección</translation>
    </message>
    <message>
        <source>a memory-indirect address is written like %1</source>
        <translation>una dirección indirecta por memoria se escribe como %1</translation>
    </message>
    <message>
        <source>register-indirect addresses are written like %1 [AR1, P#2.0]</source>
        <translation>las direcciones indirectas por registro se escriben como %1 [AR1, P#2.0]</translation>
    </message>
    <message>
        <source>the pointer must be a word in M, L, DB or DI, such as [MW 10] or [#number]</source>
        <translation>el puntero debe ser una palabra en M, L, DB o DI, como [MW 10] o [#numero]</translation>
    </message>
    <message>
        <source>the pointer must be a double word in M, L, DB or DI, such as [MD 10] or [#ptr]</source>
        <translation>el puntero debe ser una palabra doble en M, L, DB o DI, como [MD 10] o [#ptr]</translation>
    </message>
    <message>
        <source>the pointer %1 lies outside its area</source>
        <translation>el puntero %1 queda fuera de su área</translation>
    </message>
    <message>
        <source>unexpected %1 in the address</source>
        <translation>%1 inesperado en la dirección</translation>
    </message>
    <message>
        <source>a bit address needs a bit number, such as %1 %2.0</source>
        <translation>una dirección de bit necesita un número de bit, como %1 %2.0</translation>
    </message>
    <message>
        <source>bit number %1 does not exist; bits are numbered 0 to 7</source>
        <translation>el bit número %1 no existe; los bits se numeran de 0 a 7</translation>
    </message>
    <message>
        <source>bad address %1</source>
        <translation>dirección incorrecta %1</translation>
    </message>
    <message>
        <source>address %1 is out of range (timers are numbered 0 to 255)</source>
        <translation>la dirección %1 está fuera de rango (los temporizadores se numeran de 0 a 255)</translation>
    </message>
    <message>
        <source>address %1 is out of range (counters are numbered 0 to 255)</source>
        <translation>la dirección %1 está fuera de rango (los contadores se numeran de 0 a 255)</translation>
    </message>
    <message>
        <source>address %1 is out of range (this area has bytes 0 to %2)</source>
        <translation>la dirección %1 está fuera de rango (esta área tiene los bytes 0 a %2)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs a jump label</source>
        <translation>&apos;%1&apos; necesita una meta de salto</translation>
    </message>
    <message>
        <source>DB %1 does not exist (it is not in the loaded files)</source>
        <translation>el DB %1 no existe (no está en los ficheros cargados)</translation>
    </message>
    <message>
        <source>DB %1 has no %2</source>
        <translation>el DB %1 no tiene %2</translation>
    </message>
    <message>
        <source>DB %1 %2</source>
        <translation>el DB %1 %2</translation>
    </message>
    <message>
        <source>unknown symbol &quot;%1&quot;</source>
        <translation>símbolo desconocido &quot;%1&quot;</translation>
    </message>
    <message>
        <source>unexpected %1 after the symbol</source>
        <translation>%1 inesperado después del símbolo</translation>
    </message>
    <message>
        <source>symbol &quot;%1&quot; stands for %2, which is not an address</source>
        <translation>el símbolo &quot;%1&quot; equivale a %2, que no es una dirección</translation>
    </message>
    <message>
        <source>symbol &quot;%1&quot; stands for %2, which is not an address: %3</source>
        <translation>el símbolo &quot;%1&quot; equivale a %2, que no es una dirección: %3</translation>
    </message>
    <message>
        <source>symbol &quot;%1&quot; must stand for a direct address</source>
        <translation>el símbolo &quot;%1&quot; debe equivaler a una dirección directa</translation>
    </message>
    <message>
        <source>a character constant holds one to four characters</source>
        <translation>una constante de caracteres contiene de uno a cuatro caracteres</translation>
    </message>
    <message>
        <source>register-indirect addresses are written [AR1, P#byte.bit]</source>
        <translation>las direcciones indirectas por registro se escriben [AR1, P#byte.bit]</translation>
    </message>
    <message>
        <source>unexpected %1</source>
        <translation>%1 inesperado</translation>
    </message>
    <message>
        <source>unexpected %1 after the variable</source>
        <translation>%1 inesperado después de la variable</translation>
    </message>
    <message>
        <source>variable #%1 %2</source>
        <translation>la variable #%1 %2</translation>
    </message>
    <message>
        <source>unknown variable %1 (not declared in %2)</source>
        <translation>variable desconocida %1 (no está declarada en %2)</translation>
    </message>
    <message>
        <source>bad data block address %1</source>
        <translation>dirección de bloque de datos incorrecta %1</translation>
    </message>
    <message>
        <source>#%1 is declared %2; the pointer must be a WORD or INT holding the number</source>
        <translation>#%1 está declarada como %2; el puntero debe ser un WORD o INT que contenga el número</translation>
    </message>
    <message>
        <source>#%1 is declared %2; the pointer must be a DWORD holding an address such as P#4.0</source>
        <translation>#%1 está declarada como %2; el puntero debe ser un DWORD que contenga una dirección como P#4.0</translation>
    </message>
    <message>
        <source>unknown variable #%1 (not declared in %2)</source>
        <translation>variable desconocida #%1 (no está declarada en %2)</translation>
    </message>
    <message>
        <source>local %1 is written &apos;#%2&apos; in STL</source>
        <translation>la variable local %1 se escribe &apos;#%2&apos; en AWL</translation>
    </message>
    <message>
        <source>static variable %1 is written &apos;#%2&apos; in STL</source>
        <translation>la variable estática %1 se escribe &apos;#%2&apos; en AWL</translation>
    </message>
    <message>
        <source>parameter %1 is written &apos;#%2&apos; in STL</source>
        <translation>el parámetro %1 se escribe &apos;#%2&apos; en AWL</translation>
    </message>
    <message>
        <source>%1 is a variable whose declaration failed; it is written &apos;#%2&apos;</source>
        <translation>%1 es una variable cuya declaración falló; se escribe &apos;#%2&apos;</translation>
    </message>
    <message>
        <source>symbol %1 is written &apos;&quot;%2&quot;&apos; in STL</source>
        <translation>el símbolo %1 se escribe &apos;&quot;%2&quot;&apos; en AWL</translation>
    </message>
    <message>
        <source>the blocks need more than %1 bytes of local data along one chain of calls</source>
        <translation>los bloques necesitan más de %1 bytes de datos locales a lo largo de una cadena de llamadas</translation>
    </message>
    <message>
        <source>the data blocks need more than %1 bytes</source>
        <translation>los bloques de datos necesitan más de %1 bytes</translation>
    </message>
    <message>
        <source>no source file was given</source>
        <translation>no se indicó ningún fichero fuente</translation>
    </message>
    <message>
        <source>the program has no OB 1 (no statements were found)</source>
        <translation>el programa no tiene OB 1 (no se encontró ninguna instrucción)</translation>
    </message>
    <message>
        <source>%1 is not a known user type (UDT)</source>
        <translation>%1 no es un tipo de usuario conocido (UDT)</translation>
    </message>
    <message>
        <source>UDT %1 does not exist (it is not in the loaded files)</source>
        <translation>el UDT %1 no existe (no está en los ficheros cargados)</translation>
    </message>
    <message>
        <source>UDT %1 contains itself</source>
        <translation>el UDT %1 se contiene a sí mismo</translation>
    </message>
    <message>
        <source>UDT %1 has errors</source>
        <translation>el UDT %1 tiene errores</translation>
    </message>
    <message>
        <source>%1 is not a function block</source>
        <translation>%1 no es un bloque de función</translation>
    </message>
    <message>
        <source>%1 does not exist (it is not in the loaded files)</source>
        <translation>%1 no existe (no está en los ficheros cargados)</translation>
    </message>
    <message>
        <source>%1 would contain an instance of itself, directly or through other function blocks</source>
        <translation>%1 contendría una instancia de sí mismo, directamente o a través de otros bloques de función</translation>
    </message>
    <message>
        <source>%1 has errors</source>
        <translation>%1 tiene errores</translation>
    </message>
    <message>
        <source>a user type is declared TYPE UDT n STRUCT ... END_STRUCT END_TYPE</source>
        <translation>un tipo de usuario se declara TYPE UDT n STRUCT ... END_STRUCT END_TYPE</translation>
    </message>
    <message>
        <source>the block&apos;s variables are larger than the CPU&apos;s data memory</source>
        <translation>las variables del bloque son mayores que la memoria de datos de la CPU</translation>
    </message>
    <message>
        <source>unknown return type %1</source>
        <translation>tipo de retorno desconocido %1</translation>
    </message>
    <message>
        <source>temporary variables cannot have an initial value</source>
        <translation>las variables temporales no pueden tener valor inicial</translation>
    </message>
    <message>
        <source>parameters of a function (FC) cannot have initial values</source>
        <translation>los parámetros de una función (FC) no pueden tener valores iniciales</translation>
    </message>
    <message>
        <source>an instance of %1 can only be declared among the static variables (VAR) of a function block</source>
        <translation>una instancia de %1 solo se puede declarar entre las variables estáticas (VAR) de un bloque de función</translation>
    </message>
    <message>
        <source>variables of type %1 are not supported here; a function (FC) can take them as VAR_INPUT</source>
        <translation>aquí no se admiten variables del tipo %1; una función (FC) puede recibirlas como VAR_INPUT</translation>
    </message>
    <message>
        <source>variable %1 is declared twice</source>
        <translation>la variable %1 está declarada dos veces</translation>
    </message>
    <message>
        <source>%1 needs %2 bytes of local data; a block may use %3</source>
        <translation>%1 necesita %2 bytes de datos locales; un bloque puede usar %3</translation>
    </message>
    <message>
        <source>a data block is made of a STRUCT, an FB or a UDT, not %1</source>
        <translation>un bloque de datos se hace con un STRUCT, un FB o un UDT, no con %1</translation>
    </message>
    <message>
        <source>the data block needs STRUCT ... END_STRUCT, or the FB or UDT it is an instance of</source>
        <translation>el bloque de datos necesita STRUCT ... END_STRUCT, o el FB o UDT del que es instancia</translation>
    </message>
    <message>
        <source>the data block has no %1</source>
        <translation>el bloque de datos no tiene %1</translation>
    </message>
    <message>
        <source>the data block %1</source>
        <translation>el bloque de datos %1</translation>
    </message>
    <message>
        <source>%1 needs a block such as FC 1</source>
        <translation>%1 necesita un bloque como FC 1</translation>
    </message>
    <message>
        <source>%1 is not an instance of a function block; CALL #name calls an FB or SFB declared among the static variables</source>
        <translation>%1 no es una instancia de un bloque de función; CALL #nombre llama a un FB o SFB declarado entre las variables estáticas</translation>
    </message>
    <message>
        <source>%1 is not a variable of %2; CALL #name calls an FB or SFB declared among the static variables</source>
        <translation>%1 no es una variable de %2; CALL #nombre llama a un FB o SFB declarado entre las variables estáticas</translation>
    </message>
    <message>
        <source>%1 cannot call a multiple instance; use CALL %2</source>
        <translation>%1 no puede llamar a una multiinstancia; use CALL %2</translation>
    </message>
    <message>
        <source>only FC, FB, SFC and SFB blocks can be called, not %1</source>
        <translation>solo se pueden llamar bloques FC, FB, SFC y SFB, no %1</translation>
    </message>
    <message>
        <source>calling %1 needs its instance data block: CALL %2, DB n</source>
        <translation>para llamar a %1 hace falta su bloque de datos de instancia: CALL %2, DB n</translation>
    </message>
    <message>
        <source>%1 has no instance data block; write CALL %2</source>
        <translation>%1 no tiene bloque de datos de instancia; escriba CALL %2</translation>
    </message>
    <message>
        <source>expected the instance data block (DB n) after the comma</source>
        <translation>se esperaba el bloque de datos de instancia (DB n) después de la coma</translation>
    </message>
    <message>
        <source>instance data block DB %1 does not exist; declare it as DATA_BLOCK DB %2 with %3 in its header</source>
        <translation>el bloque de datos de instancia DB %1 no existe; declárelo como DATA_BLOCK DB %2 con %3 en su cabecera</translation>
    </message>
    <message>
        <source>DB %1 is not an instance data block of %2</source>
        <translation>el DB %1 no es un bloque de datos de instancia de %2</translation>
    </message>
    <message>
        <source>recursive call %1: a block cannot call itself, directly or through others</source>
        <translation>llamada recursiva %1: un bloque no puede llamarse a sí mismo, ni directamente ni a través de otros</translation>
    </message>
    <message>
        <source>German</source>
        <translation>alemán</translation>
    </message>
    <message>
        <source>English</source>
        <translation>inglés</translation>
    </message>
    <message>
        <source>too many errors; stopped reporting</source>
        <translation>demasiados errores; no se informa de más</translation>
    </message>
    <message>
        <source>%1 is only allowed inside a block</source>
        <translation>%1 solo se permite dentro de un bloque</translation>
    </message>
    <message>
        <source>an organization block can only declare VAR_TEMP variables</source>
        <translation>un bloque de organización solo puede declarar variables VAR_TEMP</translation>
    </message>
    <message>
        <source>STL has no named constants (VAR CONSTANT); write the value where it is used, or keep it in a data block</source>
        <translation>AWL no tiene constantes con nombre (VAR CONSTANT); escriba el valor donde se use, o guárdelo en un bloque de datos</translation>
    </message>
    <message>
        <source>a function (FC) has no static variables; use VAR_TEMP or a function block</source>
        <translation>una función (FC) no tiene variables estáticas; use VAR_TEMP o un bloque de función</translation>
    </message>
    <message>
        <source>the block has no BEGIN</source>
        <translation>el bloque no tiene BEGIN</translation>
    </message>
    <message>
        <source>expected TITLE, VERSION, a VAR section or BEGIN, found %1</source>
        <translation>se esperaba TITLE, VERSION, una sección VAR o BEGIN; se encontró %1</translation>
    </message>
    <message>
        <source>the variable section is not closed with END_VAR</source>
        <translation>la sección de variables no se cierra con END_VAR</translation>
    </message>
    <message>
        <source>expected STRUCT, the FB or UDT the data block is made of, or BEGIN; found %1</source>
        <translation>se esperaba STRUCT, el FB o UDT del que se hace el bloque de datos, o BEGIN; se encontró %1</translation>
    </message>
    <message>
        <source>the parameter list is not closed with &apos;)&apos;</source>
        <translation>la lista de parámetros no se cierra con &apos;)&apos;</translation>
    </message>
    <message>
        <source>unexpected %1 after the parameter list</source>
        <translation>%1 inesperado después de la lista de parámetros</translation>
    </message>
    <message>
        <source>%1 without its block</source>
        <translation>%1 sin su bloque</translation>
    </message>
    <message>
        <source>this block ends with %1, not %2</source>
        <translation>este bloque termina con %1, no con %2</translation>
    </message>
    <message>
        <source>a file holds either plain statements or blocks, not both</source>
        <translation>un fichero contiene o bien instrucciones sueltas o bien bloques, no ambas cosas</translation>
    </message>
    <message>
        <source>the block before this line is not closed with %1</source>
        <translation>el bloque anterior a esta línea no se cierra con %1</translation>
    </message>
    <message>
        <source>%1 is not allowed among the statements</source>
        <translation>%1 no se permite entre las instrucciones</translation>
    </message>
    <message>
        <source>%1 is missing at the end of the file</source>
        <translation>falta %1 al final del fichero</translation>
    </message>
    <message>
        <source>a parameter is written &apos;name := actual&apos;</source>
        <translation>un parámetro se escribe &apos;nombre := valor&apos;</translation>
    </message>
    <message>
        <source>parameter %1 has no actual value</source>
        <translation>el parámetro %1 no tiene valor actual</translation>
    </message>
    <message>
        <source>unknown symbol &quot;%1&quot;; name the block in the symbol table or write it as FC 1, FB 1, DB 1</source>
        <translation>símbolo desconocido &quot;%1&quot;; dé nombre al bloque en la tabla de símbolos o escríbalo como FC 1, FB 1, DB 1</translation>
    </message>
    <message>
        <source>symbol &quot;%1&quot; stands for %2, which is not a block</source>
        <translation>el símbolo &quot;%1&quot; equivale a %2, que no es un bloque</translation>
    </message>
    <message>
        <source>expected a block name such as FC 1, FB 1 or DB 1, found %1</source>
        <translation>se esperaba un nombre de bloque como FC 1, FB 1 o DB 1; se encontró %1</translation>
    </message>
    <message>
        <source>the block needs a name such as %1 1</source>
        <translation>el bloque necesita un nombre como %1 1</translation>
    </message>
    <message>
        <source>a function is declared &apos;FUNCTION FC 1 : VOID&apos; (or with the type of its RET_VAL)</source>
        <translation>una función se declara &apos;FUNCTION FC 1 : VOID&apos; (o con el tipo de su RET_VAL)</translation>
    </message>
    <message>
        <source>%1 cannot be declared with %2; expected %3 n</source>
        <translation>%1 no se puede declarar con %2; se esperaba %3 n</translation>
    </message>
    <message>
        <source>only OB 1, OB 35 and OB 100 are supported, not OB %1</source>
        <translation>solo se admiten OB 1, OB 35 y OB 100, no OB %1</translation>
    </message>
    <message>
        <source>data blocks are numbered from 1</source>
        <translation>los bloques de datos se numeran a partir de 1</translation>
    </message>
    <message>
        <source>%1 is defined twice (first at %2)</source>
        <translation>%1 está definido dos veces (la primera en %2)</translation>
    </message>
    <message>
        <source>the quote is not closed on this line</source>
        <translation>la comilla no se cierra en esta línea</translation>
    </message>
    <message>
        <source>expected an instruction, found %1</source>
        <translation>se esperaba una instrucción; se encontró %1</translation>
    </message>
    <message>
        <source>&apos;(&apos; belongs on the line of its instruction: write &apos;%1(&apos;</source>
        <translation>&apos;(&apos; va en la línea de su instrucción: escriba &apos;%1(&apos;</translation>
    </message>
    <message>
        <source>a bracket opens with its instruction: write &apos;U(&apos;, &apos;O(&apos; or &apos;X(&apos;</source>
        <translation>un paréntesis se abre con su instrucción: escriba &apos;U(&apos;, &apos;O(&apos; o &apos;X(&apos;</translation>
    </message>
    <message>
        <source>label %1 is too long; labels have at most four characters</source>
        <translation>la meta %1 es demasiado larga; las metas tienen como máximo cuatro caracteres</translation>
    </message>
    <message>
        <source>label %1 must start with a letter and hold letters and digits</source>
        <translation>la meta %1 debe empezar por una letra y contener letras y cifras</translation>
    </message>
    <message>
        <source>label %1 is defined twice (first at line %2)</source>
        <translation>la meta %1 está definida dos veces (la primera en la línea %2)</translation>
    </message>
    <message>
        <source>but this file uses %1 mnemonics (see line %2)</source>
        <translation>pero este fichero usa mnemónicos en %1 (véase la línea %2)</translation>
    </message>
    <message>
        <source>but the program is set to %1 mnemonics</source>
        <translation>pero el programa está configurado con mnemónicos en %1</translation>
    </message>
    <message>
        <source>; write %1</source>
        <translation>; escriba %1</translation>
    </message>
    <message>
        <source>%1 is a German mnemonic, %2%3 (German and English mnemonics cannot be mixed)</source>
        <translation>%1 es un mnemónico alemán, %2%3 (no se pueden mezclar mnemónicos alemanes e ingleses)</translation>
    </message>
    <message>
        <source>%1 is an English mnemonic, %2%3 (German and English mnemonics cannot be mixed)</source>
        <translation>%1 es un mnemónico inglés, %2%3 (no se pueden mezclar mnemónicos alemanes e ingleses)</translation>
    </message>
    <message>
        <source>unknown instruction %1</source>
        <translation>instrucción desconocida %1</translation>
    </message>
    <message>
        <source>unknown instruction %1; did you mean %2?</source>
        <translation>instrucción desconocida %1; ¿quería decir %2?</translation>
    </message>
    <message>
        <source>%1 is a German address, but this program uses %2 mnemonics%3 (German and English mnemonics cannot be mixed)</source>
        <translation>%1 es una dirección alemana, pero este programa usa mnemónicos en %2%3 (no se pueden mezclar mnemónicos alemanes e ingleses)</translation>
    </message>
    <message>
        <source>%1 is an English address, but this program uses %2 mnemonics%3 (German and English mnemonics cannot be mixed)</source>
        <translation>%1 es una dirección inglesa, pero este programa usa mnemónicos en %2%3 (no se pueden mezclar mnemónicos alemanes e ingleses)</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 o %2</translation>
    </message>
    <message>
        <source>%1 needs an operand: %2</source>
        <translation>%1 necesita un operando: %2</translation>
    </message>
    <message>
        <source>%1 cannot take this operand; it expects %2</source>
        <translation>%1 no admite este operando; espera %2</translation>
    </message>
    <message>
        <source>this variable is a %1; an instruction can only use one of its elements</source>
        <translation>esta variable es un %1; una instrucción solo puede usar uno de sus elementos</translation>
    </message>
    <message>
        <source>%1 takes a number from 0 to %2</source>
        <translation>%1 admite un número de 0 a %2</translation>
    </message>
    <message>
        <source>the address lies outside DB %1, which has %2 bytes</source>
        <translation>la dirección queda fuera del DB %1, que tiene %2 bytes</translation>
    </message>
    <message>
        <source>static variables exist only in function blocks</source>
        <translation>las variables estáticas solo existen en los bloques de función</translation>
    </message>
    <message>
        <source>brackets are nested more than seven levels deep</source>
        <translation>los paréntesis se anidan más de siete niveles</translation>
    </message>
    <message>
        <source>&apos;)&apos; has no matching opening bracket</source>
        <translation>&apos;)&apos; no tiene paréntesis de apertura correspondiente</translation>
    </message>
    <message>
        <source>%1 has no effect on a CPU with two accumulators</source>
        <translation>%1 no tiene efecto en una CPU con dos acumuladores</translation>
    </message>
    <message>
        <source>this bracket is never closed with &apos;)&apos;</source>
        <translation>este paréntesis nunca se cierra con &apos;)&apos;</translation>
    </message>
    <message>
        <source>jump to label %1, which is not defined in this block</source>
        <translation>salto a la meta %1, que no está definida en este bloque</translation>
    </message>
    <message>
        <source>%1 must be followed by up to 255 %2 jumps, ending at label %3</source>
        <translation>%1 debe ir seguido de hasta 255 saltos %2, terminando en la meta %3</translation>
    </message>
    <message>
        <source>an ANY pointer is written like P#DB1.DBX0.0 BYTE 10 or P#M 10.0 BYTE 4</source>
        <translation>un puntero ANY se escribe como P#DB1.DBX0.0 BYTE 10 o P#M 10.0 BYTE 4</translation>
    </message>
    <message>
        <source>inside a data block the ANY pointer starts with DBX: P#DB1.DBX0.0</source>
        <translation>dentro de un bloque de datos el puntero ANY empieza por DBX: P#DB1.DBX0.0</translation>
    </message>
    <message>
        <source>the range lies outside DB %1, which has %2 bytes</source>
        <translation>el rango queda fuera del DB %1, que tiene %2 bytes</translation>
    </message>
    <message>
        <source>an ANY pointer names the area E, A, M, L or a data block</source>
        <translation>un puntero ANY indica el área E, A, M, L o un bloque de datos</translation>
    </message>
    <message>
        <source>the range lies outside its area</source>
        <translation>el rango queda fuera de su área</translation>
    </message>
    <message>
        <source>a block parameter needs a range: a variable of a data block, a byte/word/double word, or P#DB1.DBX0.0 BYTE 10</source>
        <translation>un parámetro de bloque necesita un rango: una variable de un bloque de datos, un byte/palabra/palabra doble, o P#DB1.DBX0.0 BYTE 10</translation>
    </message>
    <message>
        <source>parameter %1 of %2 (%3)</source>
        <translation>el parámetro %1 de %2 (%3)</translation>
    </message>
    <message>
        <source>%1 cannot take %2</source>
        <translation>%1 no admite %2</translation>
    </message>
    <message>
        <source>%1 is an output; it needs an address, not a constant</source>
        <translation>%1 es una salida; necesita una dirección, no una constante</translation>
    </message>
    <message>
        <source>%1 needs a timer such as T 1</source>
        <translation>%1 necesita un temporizador como T 1</translation>
    </message>
    <message>
        <source>%1 needs a counter such as Z 1</source>
        <translation>%1 necesita un contador como Z 1</translation>
    </message>
    <message>
        <source>%1 cannot take a constant</source>
        <translation>%1 no admite una constante</translation>
    </message>
    <message>
        <source>%1 needs a direct address or a variable</source>
        <translation>%1 necesita una dirección directa o una variable</translation>
    </message>
    <message>
        <source>a bit</source>
        <translation>un bit</translation>
    </message>
    <message>
        <source>a byte</source>
        <translation>un byte</translation>
    </message>
    <message>
        <source>a word</source>
        <translation>una palabra</translation>
    </message>
    <message>
        <source>a double word</source>
        <translation>una palabra doble</translation>
    </message>
    <message>
        <source>this operand</source>
        <translation>este operando</translation>
    </message>
    <message>
        <source>%1 is an output; it cannot write peripheral inputs</source>
        <translation>%1 es una salida; no puede escribir entradas de periferia</translation>
    </message>
    <message>
        <source>%1 can only call blocks without parameters or static data; use CALL %2</source>
        <translation>%1 solo puede llamar a bloques sin parámetros ni datos estáticos; use CALL %2</translation>
    </message>
    <message>
        <source>DB %1 has errors</source>
        <translation>el DB %1 tiene errores</translation>
    </message>
    <message>
        <source>%1 has no parameter %2; it takes none</source>
        <translation>%1 no tiene el parámetro %2; no admite ninguno</translation>
    </message>
    <message>
        <source>%1 has no parameter %2; its parameters are %3</source>
        <translation>%1 no tiene el parámetro %2; sus parámetros son %3</translation>
    </message>
    <message>
        <source>parameter %1 is given twice</source>
        <translation>el parámetro %1 aparece dos veces</translation>
    </message>
    <message>
        <source>parameter %1 of %2 is missing (a function needs all its parameters)</source>
        <translation>falta el parámetro %1 de %2 (una función necesita todos sus parámetros)</translation>
    </message>
    <message>
        <source>parameter %1 of %2 needs a data block that exists, such as DB 1</source>
        <translation>el parámetro %1 de %2 necesita un bloque de datos que exista, como DB 1</translation>
    </message>
    <message>
        <source>SFC 20 BLKMOV copies %1 bytes into a range of %2; both ranges must be equally long</source>
        <translation>SFC 20 BLKMOV copia %1 bytes en un rango de %2; ambos rangos deben tener la misma longitud</translation>
    </message>
    <message>
        <source>expected a data type, found &apos;%1&apos;</source>
        <translation>se esperaba un tipo de datos; se encontró &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a string is declared STRING[n] with n from 1 to 254</source>
        <translation>un string se declara STRING[n] con n de 1 a 254</translation>
    </message>
    <message>
        <source>an array dimension has at most 65536 elements</source>
        <translation>una dimensión de un array tiene como máximo 65536 elementos</translation>
    </message>
    <message>
        <source>an array is declared ARRAY [low..high] OF type, with low &lt;= high (or [low..high, low..high, ...] for more dimensions)</source>
        <translation>un array se declara ARRAY [inferior..superior] OF tipo, con inferior &lt;= superior (o [inferior..superior, inferior..superior, ...] para más dimensiones)</translation>
    </message>
    <message>
        <source>an array has at most six dimensions</source>
        <translation>un array tiene como máximo seis dimensiones</translation>
    </message>
    <message>
        <source>expected OF after the array bounds</source>
        <translation>se esperaba OF después de los límites del array</translation>
    </message>
    <message>
        <source>an array cannot hold %1</source>
        <translation>un array no puede contener %1</translation>
    </message>
    <message>
        <source>the array is larger than the CPU&apos;s data memory (1 MB)</source>
        <translation>el array es mayor que la memoria de datos de la CPU (1 MB)</translation>
    </message>
    <message>
        <source>unknown data type &apos;%1&apos;</source>
        <translation>tipo de datos desconocido &apos;%1&apos;</translation>
    </message>
    <message>
        <source>types nest more than %1 levels deep (STRUCT, ARRAY, UDT and instances together)</source>
        <translation>los tipos se anidan más de %1 niveles (STRUCT, ARRAY, UDT e instancias juntos)</translation>
    </message>
    <message>
        <source>an instance of a function block cannot be part of a STRUCT, an ARRAY or a data block; declare it among the static variables (VAR) of a function block</source>
        <translation>una instancia de un bloque de función no puede formar parte de un STRUCT, un ARRAY o un bloque de datos; declárela entre las variables estáticas (VAR) de un bloque de función</translation>
    </message>
    <message>
        <source>expected a variable name, found &apos;%1&apos;</source>
        <translation>se esperaba un nombre de variable; se encontró &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a variable is declared as &apos;name : TYPE;&apos;</source>
        <translation>una variable se declara como &apos;nombre : TIPO;&apos;</translation>
    </message>
    <message>
        <source>expected &apos;;&apos; after the declaration of &apos;%1&apos;</source>
        <translation>se esperaba &apos;;&apos; después de la declaración de &apos;%1&apos;</translation>
    </message>
    <message>
        <source>variable &apos;%1&apos; is declared twice</source>
        <translation>la variable &apos;%1&apos; está declarada dos veces</translation>
    </message>
    <message>
        <source>the declarations are larger than the CPU&apos;s data memory (1 MB)</source>
        <translation>las declaraciones son mayores que la memoria de datos de la CPU (1 MB)</translation>
    </message>
    <message>
        <source>expected STRUCT, found &apos;%1&apos;</source>
        <translation>se esperaba STRUCT; se encontró &apos;%1&apos;</translation>
    </message>
    <message>
        <source>STRUCT is not closed with END_STRUCT</source>
        <translation>STRUCT no se cierra con END_STRUCT</translation>
    </message>
    <message>
        <source>an initial value is written &apos;name := value;&apos;</source>
        <translation>un valor inicial se escribe &apos;nombre := valor;&apos;</translation>
    </message>
    <message>
        <source>is not an array</source>
        <translation>no es un array</translation>
    </message>
    <message>
        <source>has an index without &apos;]&apos;</source>
        <translation>tiene un índice sin &apos;]&apos;</translation>
    </message>
    <message>
        <source>needs a constant index (use AR1/AR2 for computed addresses)</source>
        <translation>necesita un índice constante (use AR1/AR2 para direcciones calculadas)</translation>
    </message>
    <message>
        <source>index %1 is outside 1..%2</source>
        <translation>el índice %1 está fuera de 1..%2</translation>
    </message>
    <message>
        <source>has fewer dimensions than indices given</source>
        <translation>tiene menos dimensiones que índices dados</translation>
    </message>
    <message>
        <source>index %1 is outside %2..%3</source>
        <translation>el índice %1 está fuera de %2..%3</translation>
    </message>
    <message>
        <source>needs an index for each dimension, as in [1,2]</source>
        <translation>necesita un índice para cada dimensión, como en [1,2]</translation>
    </message>
    <message>
        <source>is not a valid name</source>
        <translation>no es un nombre válido</translation>
    </message>
    <message>
        <source>has no member %1</source>
        <translation>no tiene el miembro %1</translation>
    </message>
    <message>
        <source>bad repetition &apos;%1&apos;</source>
        <translation>repetición incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a value of type %1 cannot be given here</source>
        <translation>aquí no se puede dar un valor del tipo %1</translation>
    </message>
    <message>
        <source>a string value is written in single quotes</source>
        <translation>un valor de string se escribe entre comillas simples</translation>
    </message>
    <message>
        <source>the string is longer than %1</source>
        <translation>el string tiene más de %1 caracteres</translation>
    </message>
    <message>
        <source>a BOOL value is TRUE or FALSE</source>
        <translation>un valor BOOL es TRUE o FALSE</translation>
    </message>
    <message>
        <source>%1 is a BOOL value, not %2</source>
        <translation>%1 es un valor BOOL, no %2</translation>
    </message>
    <message>
        <source>an INT value lies between -32768 and 32767</source>
        <translation>un valor INT está entre -32768 y 32767</translation>
    </message>
    <message>
        <source>expected a DINT value</source>
        <translation>se esperaba un valor DINT</translation>
    </message>
    <message>
        <source>expected a REAL value such as 1.5</source>
        <translation>se esperaba un valor REAL como 1.5</translation>
    </message>
    <message>
        <source>expected a TIME value such as T#5S</source>
        <translation>se esperaba un valor TIME como T#5S</translation>
    </message>
    <message>
        <source>expected an S5TIME value such as S5T#5S</source>
        <translation>se esperaba un valor S5TIME como S5T#5S</translation>
    </message>
    <message>
        <source>the value does not fit in a byte</source>
        <translation>el valor no cabe en un byte</translation>
    </message>
    <message>
        <source>the value does not fit in a word</source>
        <translation>el valor no cabe en una palabra</translation>
    </message>
    <message>
        <source>expected a DATE value such as D#2024-03-15</source>
        <translation>se esperaba un valor DATE como D#2024-03-15</translation>
    </message>
    <message>
        <source>expected a TIME_OF_DAY value such as TOD#12:30:00</source>
        <translation>se esperaba un valor TIME_OF_DAY como TOD#12:30:00</translation>
    </message>
    <message>
        <source>cycle time exceeded</source>
        <translation>tiempo de ciclo excedido</translation>
    </message>
    <message>
        <source>area length error: memory-indirect address outside its area</source>
        <translation>error de longitud de área: dirección indirecta por memoria fuera de su área</translation>
    </message>
    <message>
        <source>BCD conversion error: the value is not a valid BCD number</source>
        <translation>error de conversión BCD: el valor no es un número BCD válido</translation>
    </message>
    <message>
        <source>nesting stack overflow: more than seven open brackets</source>
        <translation>desbordamiento de la pila de anidamiento: más de siete paréntesis abiertos</translation>
    </message>
    <message>
        <source>nesting stack underflow: &apos;)&apos; without open bracket</source>
        <translation>pila de anidamiento vacía: &apos;)&apos; sin paréntesis abierto</translation>
    </message>
    <message>
        <source>block stack overflow: calls nested deeper than 16 levels</source>
        <translation>desbordamiento de la pila de bloques: llamadas anidadas a más de 16 niveles</translation>
    </message>
    <message>
        <source>area length error: address outside the open data block (or no data block open)</source>
        <translation>error de longitud de área: dirección fuera del bloque de datos abierto (o ningún bloque de datos abierto)</translation>
    </message>
    <message>
        <source>STOP requested by SFC 46 STP</source>
        <translation>STOP solicitado por SFC 46 STP</translation>
    </message>
    <message>
        <source>the data block to open is not loaded</source>
        <translation>el bloque de datos que se quiere abrir no está cargado</translation>
    </message>
    <message>
        <source>MCR stack fault: more than eight nested MCR(</source>
        <translation>error de la pila MCR: más de ocho MCR( anidados</translation>
    </message>
    <message>
        <source>MCR stack fault: &apos;)MCR&apos; without &apos;MCR(&apos;</source>
        <translation>error de la pila MCR: &apos;)MCR&apos; sin &apos;MCR(&apos;</translation>
    </message>
    <message>
        <source>this is not a valid real number: &apos;%1&apos;</source>
        <translation>esto no es un número real válido: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>number out of range: &apos;%1&apos;</source>
        <translation>número fuera de rango: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown operand &apos;%1&apos;</source>
        <translation>operando desconocido &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad byte constant &apos;%1&apos;</source>
        <translation>constante de byte incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad word constant &apos;%1&apos;</source>
        <translation>constante de palabra incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad double-word constant &apos;%1&apos;</source>
        <translation>constante de palabra doble incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad hexadecimal constant &apos;%1&apos;</source>
        <translation>constante hexadecimal incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad binary constant &apos;%1&apos;</source>
        <translation>constante binaria incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad double-integer constant &apos;%1&apos;</source>
        <translation>constante de entero doble incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad byte list &apos;%1&apos;</source>
        <translation>lista de bytes incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad byte list (values 0 to 255): &apos;%1&apos;</source>
        <translation>lista de bytes incorrecta (valores de 0 a 255): &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a byte list holds two or four bytes: &apos;%1&apos;</source>
        <translation>una lista de bytes contiene dos o cuatro bytes: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad S5TIME constant &apos;%1&apos;</source>
        <translation>constante S5TIME incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>S5TIME must lie between S5T#0MS and S5T#2H46M30S: &apos;%1&apos;</source>
        <translation>S5TIME debe estar entre S5T#0MS y S5T#2H46M30S: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>bad TIME constant &apos;%1&apos;</source>
        <translation>constante TIME incorrecta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>TIME constant out of range: &apos;%1&apos;</source>
        <translation>constante TIME fuera de rango: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a date is written D#year-month-day, such as D#2024-03-15: &apos;%1&apos;</source>
        <translation>una fecha se escribe D#año-mes-día, como D#2024-03-15: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a DATE lies between D#1990-01-01 and D#2168-12-31: &apos;%1&apos;</source>
        <translation>un DATE está entre D#1990-01-01 y D#2168-12-31: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a time of day is written TOD#hours:minutes:seconds, from TOD#0:0:0 to TOD#23:59:59.999: &apos;%1&apos;</source>
        <translation>una hora del día se escribe TOD#horas:minutos:segundos, de TOD#0:0:0 a TOD#23:59:59.999: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a counter constant lies between C#0 and C#999: &apos;%1&apos;</source>
        <translation>una constante de contador está entre C#0 y C#999: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a pointer names the area E, A, M, L, DBX or DIX: &apos;%1&apos;</source>
        <translation>un puntero indica el área E, A, M, L, DBX o DIX: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>a pointer is written P#byte.bit, such as P#10.0 or P#M 10.0: &apos;%1&apos;</source>
        <translation>un puntero se escribe P#byte.bit, como P#10.0 o P#M 10.0: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown constant &apos;%1&apos;</source>
        <translation>constante desconocida &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1; CPU in STOP</source>
        <translation>%1; CPU en STOP</translation>
    </message>
    <message>
        <source>new program loaded</source>
        <translation>nuevo programa cargado</translation>
    </message>
    <message>
        <source>warm restart after loading</source>
        <translation>rearranque completo tras la carga</translation>
    </message>
    <message>
        <source>loaded %1</source>
        <translation>cargados %1</translation>
    </message>
    <message>
        <source>new: %1</source>
        <translation>nuevos: %1</translation>
    </message>
    <message>
        <source>removed %1</source>
        <translation>eliminados %1</translation>
    </message>
    <message>
        <source>values kept in %1</source>
        <translation>valores conservados en %1</translation>
    </message>
    <message>
        <source>initial values in %1</source>
        <translation>valores iniciales en %1</translation>
    </message>
    <message>
        <source>download: %1</source>
        <translation>carga: %1</translation>
    </message>
    <message>
        <source>cannot open the file: %1</source>
        <translation>no se puede abrir el fichero: %1</translation>
    </message>
    <message>
        <source>cannot open the symbol table: %1</source>
        <translation>no se puede abrir la tabla de símbolos: %1</translation>
    </message>
    <message>
        <source>no source file given</source>
        <translation>no se indicó ningún fichero fuente</translation>
    </message>
    <message>
        <source>mode change %1 -&gt; MRES: memory reset, CPU in STOP</source>
        <translation>cambio de modo %1 -&gt; MRES: borrado total, CPU en STOP</translation>
    </message>
    <message>
        <source>mode change %1 -&gt; %2: warm restart</source>
        <translation>cambio de modo %1 -&gt; %2: rearranque completo</translation>
    </message>
    <message>
        <source>mode change %1 -&gt; %2</source>
        <translation>cambio de modo %1 -&gt; %2</translation>
    </message>
    <message>
        <source>expected &quot;symbol&quot;,&quot;address&quot;,&quot;type&quot;,&quot;comment&quot;</source>
        <translation>se esperaba &quot;símbolo&quot;,&quot;dirección&quot;,&quot;tipo&quot;,&quot;comentario&quot;</translation>
    </message>
    <message>
        <source>expected symbol, address, type and comment separated by tabs</source>
        <translation>se esperaba símbolo, dirección, tipo y comentario separados por tabuladores</translation>
    </message>
    <message>
        <source>the line is too short for a fixed-column symbol table (symbol 24, address 12 columns)</source>
        <translation>la línea es demasiado corta para una tabla de símbolos de columnas fijas (símbolo 24, dirección 12 columnas)</translation>
    </message>
    <message>
        <source>the symbol has no name</source>
        <translation>el símbolo no tiene nombre</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an address (symbol &quot;%2&quot;)</source>
        <translation>&apos;%1&apos; no es una dirección (símbolo &quot;%2&quot;)</translation>
    </message>
    <message>
        <source>symbol &quot;%1&quot; is %2 here but %3 in %4; rename one of them</source>
        <translation>el símbolo &quot;%1&quot; es %2 aquí pero %3 en %4; cambie el nombre de uno de ellos</translation>
    </message>
    <message>
        <source>the plant&apos;s symbols</source>
        <translation>los símbolos de la planta</translation>
    </message>
    <message>
        <source>the file is UTF-16 text; save it as UTF-8 or Windows-1252 (ANSI)</source>
        <translation>el fichero es texto UTF-16; guárdelo como UTF-8 o Windows-1252 (ANSI)</translation>
    </message>
    <message>
        <source>the file looks like UTF-16 text (every other byte is zero); save it as UTF-8 or Windows-1252 (ANSI)</source>
        <translation>el fichero parece texto UTF-16 (uno de cada dos bytes es cero); guárdelo como UTF-8 o Windows-1252 (ANSI)</translation>
    </message>
    <message>
        <source>the file is not text (it holds zero bytes)</source>
        <translation>el fichero no es de texto (contiene bytes cero)</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>no existe el fichero</translation>
    </message>
    <message>
        <source>cannot open: %1</source>
        <translation>no se puede abrir: %1</translation>
    </message>
    <message>
        <source>this is a folder, not a file</source>
        <translation>esto es una carpeta, no un fichero</translation>
    </message>
    <message>
        <source>this is not a regular file (a device, FIFO or socket); only regular files are read</source>
        <translation>esto no es un fichero normal (un dispositivo, FIFO o socket); solo se leen ficheros normales</translation>
    </message>
    <message>
        <source>the file is larger than the limit of %1 MB</source>
        <translation>el fichero supera el límite de %1 MB</translation>
    </message>
    <message>
        <source>cannot read: %1</source>
        <translation>no se puede leer: %1</translation>
    </message>
</context>
</TS>
