#!/usr/bin/env bash
# What a user gets: whole vordane-cli processes on large generated inputs,
# each beside a standard tool doing a comparable job, run alternately three
# times; prints the median wall time and the peak memory of each.
# Usage: bench/whole-process.sh [BUILD_DIR] (default build/bench, made by scripts/bench.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
cli="$PWD/${1:-build/bench}/src/vordane-cli"
[ -x "$cli" ] || { echo "no $cli: run scripts/bench.sh first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Inputs: word lists of about 100 MB in Windows-1252, a three-column listing,
# a million roots, a million words and a hundred rules (with a sed script
# of the same rules for comparison).
printf 'C\r\nV\r\n\r\n\r\n\r\n\r\n\r\n\r\nK\r\nV\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\n' > words.lng
printf 'p,t,k,b,d,g,m,n,s,z,f,v,l,r,\xf1,ch,ts\r\na,e,i,o,u,\xe1,\xe9,\xed\r\n' >> words.lng
printf '\r\n\r\n\r\n\r\n\r\n\r\nV\r\nKV\r\nKVK\r\n' >> words.lng
for seed in 1 2 3; do # a run makes at most ten million words: two runs a list
    "$cli" generar words.lng --filas 6000000 --semilla $seed --salida half1.lex
    "$cli" generar words.lng --filas 6000000 --semilla $((seed + 10)) --salida half2.lex
    cat half1.lex half2.lex > words$seed.lex
done
rm half1.lex half2.lex
head -n 2400000 words1.lex | awk 'BEGIN { print "DICCIONARIO\r"; print "\r"; print "pagina\r"; print "----\r" }
     { sub(/\r$/, ""); w[n++ % 3] = $0;
       if (n % 3 == 0) printf "%-40s%-40s%-40s\r\n", w[0] " = " w[1], w[1] " = " w[2], w[2] " = " w[0] }' \
    > listing.txt
awk 'BEGIN { srand(4); n = 1000000
     for (i = 0; i < n; i++) {
         if (rand() < 0.6) { v = "*"; l = 1 } else {
             v = ""; k = 2 + int(rand() * 2)
             for (j = 0; j < k; j++) { t = int(rand() * 3); x = int(rand() * n)
                 v = v (j ? "+" : "") (t == 0 ? "*" : (t == 1 ? "#r" x : "$w" x)) }
             l = 2 + int(rand() * 4) }
         printf "r%d:w%d:%s:%d\r\n", i, i, v, l } }' > roots.rad
head -n 1000000 words2.lex > words1m.lex
rules=(p\>b t\>d k\>g ai\>e au\>o nn\>n sr\>rr a\> mb\>m ou\>u)
sedscript=()
for i in 1 2 3 4 5 6 7 8 9 10; do
    for rule in "${rules[@]}"; do
        printf '%s\r\n' "$rule" >> rules.sc
        pattern=${rule%%>*}
        replacement=${rule#*>}
        sedscript+=("s/$pattern/$replacement/g")
    done
done
printf '%s\n' "${sedscript[@]}" > rules.sed

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
run() { # label, command...
    local label=$1
    shift
    rm -f out.* gen.lex # every output is a new file, unless a command replaces one itself
    /usr/bin/time -f "%e %M" -o time.txt "$@" > /dev/null 2>&1 || { echo "$label failed" >&2; exit 1; }
    read -r seconds kilobytes < time.txt
    echo "$seconds" >> "$label.s"
    echo "$kilobytes" >> "$label.kb"
}
measure() { # label, comparator label, command, comparator command (strings)
    rm -f "$1.s" "$1.kb" "$2.s" "$2.kb"
    for _ in 1 2 3; do
        run "$1" bash -c "$3"
        run "$2" bash -c "$4"
    done
    printf '%-34s %6s s %7s MB   %-26s %6s s %7s MB\n' "$1" "$(median < "$1.s")" \
        "$(($(median < "$1.kb") / 1024))" "$2" "$(median < "$2.s")" "$(($(median < "$2.kb") / 1024))"
}

inbytes=$(stat -c %s words1.lex)
echo "input word lists: $((inbytes / 1000000)) MB each; listing $(($(stat -c %s listing.txt) / 1000000)) MB"
measure "mayusculas" "tr" "'$cli' mayusculas words1.lex out.lex" "tr '[:lower:]' '[:upper:]' < words1.lex > out.tr"
# Replacing a file costs a sync to disk first (the old file must never give way to an empty one).
measure "mayusculas, replacing its output" "tr, replacing its output" \
    "'$cli' mayusculas words1.lex kept.lex; '$cli' mayusculas words1.lex kept.lex" \
    "tr '[:lower:]' '[:upper:]' < words1.lex > kept.tr; tr '[:lower:]' '[:upper:]' < words1.lex > kept.tr"
measure "separar" "awk -F=" "'$cli' separar listing.txt out.lex" "awk -F= '{ print \$2 }' listing.txt > out.awk"
measure "exportar" "paste" "'$cli' exportar words1.lex words2.lex out.dic" \
    "paste -d= words1.lex words2.lex > out.paste"
measure "combinar (3 files)" "paste | awk" "'$cli' combinar out.lex words1.lex=40 words2.lex=30 words3.lex=30" \
    "paste words1.lex words2.lex words3.lex | awk '{ print \$1 }' > out.awk"
measure "generar 10 M words" "cat of 100 MB" "'$cli' generar words.lng --filas 10000000 --salida gen.lex" \
    "cat words1.lex > out.cat"
measure "generar 1 M words" "generar 1 M --sin-repetir" "'$cli' generar words.lng --filas 1000000 --salida gen.lex" \
    "'$cli' generar words.lng --filas 1000000 --sin-repetir --salida gen.lex"
# The word generator with weights on the same alphabet: weighted members,
# positional shapes, one optional part and two filters, against generar.
printf '%s\n' 'C=p:5,t:5,k:4,b,d,g,m:3,n:4,s:4,z,f,v,l:3,r:3,ñ,ch,ts' '@caída 15' 'V=a,e,i,o,u,á,é,í' \
    '@inicial CV, V, CVC' '@media CV:3, CVC' '@final CV(C), V' '@única CVC, CV' '@longitud 1:1, 2:4, 3:3, 4:1' \
    '@rechazar (.)\1' '@rechazar ^ts|ch$' > words.gen
measure "palabras 10 M words" "generar 10 M words" \
    "'$cli' palabras words.gen --cantidad 10000000 --salida gen.lex" \
    "'$cli' generar words.lng --filas 10000000 --salida gen.lex"
measure "transformar 1 M x 100 rules" "sed, the same 100 rules" \
    "'$cli' transformar rules.sc --palabras words1m.lex --salida out.lex" "sed -f rules.sed words1m.lex > out.sed"
measure "transformar 1 M x 100 --informe" "transformar, plain" \
    "'$cli' transformar rules.sc --palabras words1m.lex --salida out.lex --informe" \
    "'$cli' transformar rules.sc --palabras words1m.lex --salida out.lex"
# The same words through 100 rules of the extended notation: categories (one
# with digraphs), environments, exceptions, insertions, deletions and a
# sporadic rule, ten rules ten times as the plain list repeats its own.
printf '@ampliada\r\nV=a,e,i,o,u,\xe1,\xe9,\xed\r\nP=p,t,k\r\nB=b,d,g\r\nF=f,s,z,v\r\nN=m,n,\xf1\r\n' > extended.sc
printf 'L=l,r\r\nC=P,B,F,N,L,ch,ts\r\n' >> extended.sc
for i in 1 2 3 4 5 6 7 8 9 10; do
    printf '%s\r\n' 'P>B/V_V' 'B>/V_V//_L' 'e>ie/C_C ?50' 'o>ue/C_C//_N' 'm>n/_#' '>e/#_sP' 'u>o/_#//l_' \
        'N>/V_#' 'C>/_C//L_' 'ai>e/C_' >> extended.sc
done
measure "transformar 1 M x 100 extended" "transformar 1 M x 100 plain" \
    "'$cli' transformar extended.sc --palabras words1m.lex --salida out.lex" \
    "'$cli' transformar rules.sc --palabras words1m.lex --salida out.lex"
# The plain list itself under @ampliada: what the extended engine costs for the same work.
(printf '@ampliada\r\n'; cat rules.sc) > plain-extended.sc
measure "the plain 100 under @ampliada" "transformar 1 M x 100 plain" \
    "'$cli' transformar plain-extended.sc --palabras words1m.lex --salida out.lex" \
    "'$cli' transformar rules.sc --palabras words1m.lex --salida out.lex"
# The same words through 100 rules with the later elements of the notation
# (inline categories, negation, optional parts, repetition, ellipses,
# captures, several environments, a block and the ways of applying a rule).
printf '@ampliada\r\nV=a,e,i,o,u\r\nP=p,t,k\r\nB=b,d,g\r\nF=s\r\nN=m,n\r\nL=l,r\r\nC=P,B,F,N,L\r\n' > grown.sc
for i in 1 2 3 4 5 6 7 8 9 10; do
    printf '%s\r\n' '[p,t,k]>[b,d,g]/V_V' 'C$1$1>$1' 'e>i/_…i' 's>z/V_(N)V' 'o>u/_C+#' 'a>e/_!C/_#//k_' \
        'ai>e' '&au>o' '[e,i]>[a,u]/[a,o,u]_ {solo V, secuencial}' 'n>$1/_P$1 {inversa}' >> grown.sc
done
measure "transformar 1 M x 100 grown" "transformar 1 M x 100 extended" \
    "'$cli' transformar grown.sc --palabras words1m.lex --salida out.lex" \
    "'$cli' transformar extended.sc --palabras words1m.lex --salida out.lex"
# The same words through 100 rules with feature matrices, a variable and
# syllables (the IPA table), beside the 100 rules of categories alone.
printf '@ampliada\r\n@rasgos ipa\r\nV=a,e,i,o,u\r\nC=p,t,k,b,d,g,m,n,s,l,r\r\n@s\xc3\xadlabas (C)(C)|V|(C)(C)\r\n' > features.sc
for i in 1 2 3 4 5 6 7 8 9 10; do
    printf '%s\r\n' '[-sonora,oclusiva]>[+sonora]/V_V' '[+nasal]>[$lugar]/_[$lugar,-silábica]' \
        '[vocal]>[+larga]/_C.' '[+larga]>[-larga]/_C#' '[+sonora,oclusiva]>[-sonora]/_.' 'e>i/_.[vocal]' \
        '[+lateral]>r/_.C' 's>h/_.' 'h>s/_.' '[vocal,+larga]>[-larga]' >> features.sc
done
measure "transformar 1 M x 100 features" "transformar 1 M x 100 extended" \
    "'$cli' transformar features.sc --palabras words1m.lex --salida out.lex" \
    "'$cli' transformar extended.sc --palabras words1m.lex --salida out.lex"
# Patterns that take exponential time in a naive backtracker, on one word of 10,000 "a" and "cb"
# (a word without b would be passed over before any search).
{ head -c 10000 /dev/zero | tr '\0' a; echo cb; } > a10k.txt
printf '@ampliada\r\n(a*)*b>x\r\n' > nested.sc
printf '@ampliada\r\na*a*a*a*b>x\r\n' > stars.sc
printf '@ampliada\r\na>x/_…a…a…a…b\r\n' > ellipses.sc
measure "(a*)*b on 10,000 a + cb" "a*a*a*a*b on 10,000 a + cb" "'$cli' transformar nested.sc --palabras a10k.txt" \
    "'$cli' transformar stars.sc --palabras a10k.txt"
measure "a>x/_…a…a…a…b on 10,000 a + cb" "(a*)*b on 10,000 a + cb" "'$cli' transformar ellipses.sc --palabras a10k.txt" \
    "'$cli' transformar nested.sc --palabras a10k.txt"
head -c 1000000 /dev/zero | tr '\0' a > long1.txt
head -c 2000000 /dev/zero | tr '\0' a > long2.txt
printf '>x\r\na>bb\r\nx>\r\nb>c\r\nc>dd\r\nd>e\r\n#>#y\r\ne#>ff#\r\nf>g\r\ny>\r\n' > insert.sc
measure "one word of 1 M through 10 rules" "one word of 2 M" "'$cli' transformar insert.sc --palabras long1.txt" \
    "'$cli' transformar insert.sc --palabras long2.txt"
awk 'BEGIN { for (i = 0; i < 250000; i++) printf "pata" }' > longpata.txt
printf '%s\r\n' '@ampliada' 'V=a,e,i,o,u' 'P=p,t,k' 'B=b,d,g' 'P>B/V_V' '>h/V_B' 'B>/h_' 'a>aa/_h' 'h>/a_a' \
    'V>e//_#' '>x/#_' 'e>i/_#' 'aa>a' '#x>#' > extended10.sc
measure "one word of 1 M, 10 extended rules" "one word of 1 M, 10 plain rules" \
    "'$cli' transformar extended10.sc --palabras longpata.txt" "'$cli' transformar insert.sc --palabras long1.txt"
awk 'BEGIN { for (i = 0; i < 111111; i++) printf "pata kasa" }' > longgrown.txt
printf '%s\r\n' '@ampliada' 'V=a,e,i,o,u' 'P=p,t,k' 'B=b,d,g' 'C=P,B,s,k' '[p,t]>[b,d]/V_V' 'C$1>$1$1/V_V' \
    'a>e/_!C' 's>z/V_(a)V' 'e>i/_C+#' 'e>a//_…x' 'C$1$1>$1 {secuencial}' '&z>s' 'i>o/_\ {inversa}' \
    '[a,o]>[e,u]/V_ {solo V}' > grown10.sc
measure "one line of 1 M, 10 grown rules" "one word of 1 M, 10 extended rules" \
    "'$cli' transformar grown10.sc --palabras longgrown.txt" "'$cli' transformar extended10.sc --palabras longpata.txt"
head -n 15 features.sc > features10.sc
measure "one line of 1 M, 10 feature rules" "one line of 1 M, 10 grown rules" \
    "'$cli' transformar features10.sc --palabras longgrown.txt" "'$cli' transformar grown10.sc --palabras longgrown.txt"
"$cli" generar words.lng --filas 3000000 --semilla 9 --salida lengua.lex
measure "lengua 1 M roots" "cat of the roots" "'$cli' lengua lengua.lex roots.rad out.lan" "cat roots.rad > out.cat"
head -n 100000 roots.rad | sed 's/#r\([0-9]*\)[0-9]/#r\1/g; s/\$w\([0-9]*\)[0-9]/$w\1/g' > roots100k.rad
measure "lengua 100 k roots" "lengua 1 M roots" "'$cli' lengua lengua.lex roots100k.rad out.lan" \
    "'$cli' lengua lengua.lex roots.rad out.lan"
# A lexicon's history: the same million forms as a language file (code and
# meaning on each line), through the 100 extended rules divided into three
# stages, writing the daughter language and the table of every stage.
awk '{ sub(/\r$/, ""); printf "c%d:m%d:%s\r\n", NR, NR, $0 }' words1m.lex > lexicon.lan
awk 'NR == 9 { print "@etapa antigua\r" } NR == 42 { print "@etapa media\r" } NR == 75 { print "@etapa moderna\r" }
     { print }' extended.sc > staged.sc
measure "evolucionar 1 M .lan, 3 stages --etapas" "transformar 1 M x 100 extended" \
    "'$cli' evolucionar staged.sc lexicon.lan out.lan --etapas out.tsv" \
    "'$cli' transformar extended.sc --palabras words1m.lex --salida out.lex"
