@ampliada
; Del latín al italiano: un ejemplo de la notación ampliada con capturas,
; opciones, un bloque y símbolos de varios caracteres. Se aplica a latin-italiano.lex:
;   vordane-cli transformar latin-italiano.sc --palabras latin-italiano.lex --informe
; Las palabras latinas van en acusativo, en una grafía fonológica sencilla
; (k por c, kʷ por qu) y con las vocales largas marcadas (ā ē ī ō ū); las
; italianas salen en la misma grafía (tʃ, dʒ): notte, chiave = kiave, cena = tʃena.
; Los cambios siguen, muy simplificados, los que describen los manuales de
; gramática histórica del italiano.

; Símbolos: cada uno es un solo segmento (k no encaja en la k de kʷ).
@símbolos tʃ,dʒ,kʷ

V=a,e,i,o,u,ā,ē,ī,ō,ū
C=p,t,k,b,d,g,f,v,s,z,m,n,l,r,kʷ

; La -m y la -s finales se pierden: noctem > nocte, lupum > lupu.
[m,s]>/V_#
; La -u final se abre: lupu > lupo.
u>o/_#
; Diptongación de la e y la o breves en sílaba abierta al principio de la
; palabra (pedem > piede, bonum > buono): un bloque que cambia solo la primera
; vocal que encaja. Las largas (ē, ō) son otros segmentos y no diptongan.
e>ie/#C*_CV {una}
&o>uo/#C*_CV
; Asimilación total: la oclusiva toma la consonante que la sigue
; (noctem > notte, septem > sette, saxum > sasso, somnum > sonno).
[k,p]>$1/_[t,s]$1
m>$1/_n$1
; Las vocales largas pierden la cantidad.
[ā,ē,ī,ō,ū]>[a,e,i,o,u]
; Palatalización ante vocal anterior (cenam > tʃena, gentem > dʒente).
k>tʃ/_[e,i]
g>dʒ/_[e,i]
; La l tras labial o velar se vuelve i (planum > piano, clavem > chiave).
l>i/[p,b,f,k,g]_
; Geminación ante kʷ (aquam > acqua).
>k/V_kʷ
