@ampliada
; Del protoindoeuropeo al protogermánico: la ley de Grimm y la ley de Verner,
; escritas en el AFI con la tabla de rasgos incorporada. Se aplica a pie-germanico.lex:
;   vordane-cli transformar pie-germanico.sc --palabras pie-germanico.lex --informe --silabas
;
; Los hechos, tal como los dan los manuales (D. Ringe, From Proto-Indo-European
; to Proto-Germanic, 2006; B. Fortson, Indo-European Language and Culture,
; 2.ª ed., 2010):
; - Ley de Grimm, en cadena: las oclusivas sordas *p t k kʷ se hacen fricativas
;   *f θ x xʷ (la *f era probablemente bilabial, [ɸ]), salvo tras *s y tras otra
;   oclusiva sorda (*st, *sp, *sk y la segunda de *kt, *pt se quedan); las
;   sonoras *b d g gʷ se hacen sordas *p t k kʷ; las sonoras aspiradas
;   *bʰ dʰ gʰ gʷʰ se hacen fricativas sonoras *β ð ɣ ɣʷ, que al principio de
;   palabra son oclusivas *b d g.
; - Ley de Verner: las fricativas sordas *f θ x xʷ s se hacen sonoras
;   (*β ð ɣ ɣʷ z) cuando no están al principio de la palabra y la sílaba de
;   delante no llevaba el acento del protoindoeuropeo.
; - Después el acento pasa a la primera sílaba (aquí: se quita), la *o breve se
;   abre en *a, la *ā se cierra en *ō, la *m̥ silábica da *um y la *-m final *-n.
; Las palabras de partida ya tienen las laringales resueltas (*ph₂tḗr como
;   patéːr, *bʰréh₂tēr como bʰráːteːr), las palatales fundidas con las velares
;   (el germánico es una lengua centum: *ǵ es g) y la asimilación de *g ante *t
;   hecha (*dʰugh₂tḗr como dʰuktéːr). El acento va sobre la vocal con ◌́.

@rasgos ipa
; El acento de la palabra, escrito como en los manuales (*pṓds).
@diacrítico ◌́: +tónica
; Las sílabas, para --silabas: ataques y codas de hasta dos consonantes; entre
; dos vocales, el ataque más largo que no baja en sonoridad (*fa.ðeːr, *a.kraz, *ga.stiz).
@sílabas ([consonante])([consonante])|[vocal]|([consonante])([consonante])

; Ley de Grimm. 1: las oclusivas sordas, fricativas (la matriz conserva el
; lugar: *p > ɸ, *k > x, *kʷ > xʷ; *t > θ va aparte, y antes, porque la tabla
; tiene la θ por dental y la t por alveolar).
t>θ//s_/[oclusiva,-sonora]_
[oclusiva,-sonora,!alveolar]>[fricativa]//s_/[oclusiva,-sonora]_
; 2: las sonoras, sordas (*gʷ > kʷ; las aspiradas no).
[oclusiva,+sonora,-aspirada]>[-sonora]
; 3: las sonoras aspiradas, fricativas sonoras.
[oclusiva,+aspirada,!alveolar]>[fricativa,-aspirada]
dʰ>ð
; Ley de Verner: tras una vocal sin acento (y quizá una sonante), la
; fricativa sorda se hace sonora: *patéːr > *faθéːr > *faðéːr, pero
; *bʰráːteːr > *bróːθeːr con θ; nunca al principio de palabra ni ante una
; consonante sorda (*duxtéːr).
[fricativa,-sonora]>[+sonora]/[vocal,-tónica]([consonante,+sonora])_//_[consonante,-sonora]
; Las fricativas sonoras, oclusivas al principio de la palabra.
[β,ð,ɣ]>[b,d,g]/#_
; El acento se fija en la primera sílaba: la marca ya no distingue nada.
[+tónica]>[-tónica]
; Las vocales: *o > *a, *ā > *ō.
o>a
aː>oː
; *m̥ > *um; *-m > *-n.
m̩>um
m>n/_#
; La *f de los manuales.
ɸ>f
