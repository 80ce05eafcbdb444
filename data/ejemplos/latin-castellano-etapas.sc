@ampliada
; La historia del castellano en tres etapas: las reglas de latin-castellano.sc,
; en el mismo orden, divididas por líneas «@etapa NOMBRE». Se aplica al
; léxico latin.lan, que da a cada palabra un código y un significado:
;   vordane-cli evolucionar latin-castellano-etapas.sc latin.lan castellano.lan --etapas etapas.tsv --informe
; castellano.lan es la lengua hija (mismos códigos y significados) y
; etapas.tsv, una tabla con la forma de cada palabra tras cada etapa.
; Las palabras latinas van en acusativo, con las vocales largas marcadas
; (ā ē ī ō ū) y con tilde la é y la ó breves tónicas (pétram, fócum).

; Categorías
V=a,e,i,o,u,ā,ē,ī,ō,ū,é,ó
P=p,t,c
B=b,d,g
L=r,l

@etapa latín vulgar
; Del latín clásico al hablado en el Imperio.
; 1. La -m final se pierde.
m>/_#
; 2. Síncopa: la u entre c y l cae; el nexo c'l da j (oculum > ojo).
u>/c_l
cl>j/V_
; 3. Yod: li ante vocal da j (fīlium > hijo).
li>j/_V
@etapa romance
; Los primeros siglos del romance: vocales, diptongos y sonoras.
; 4. La a se cierra ante ct (lactem > leche); ct da ch.
a>e/_ct
ct>ch
; 5. La u breve da o, salvo tras q (aquam); la i breve da e.
u>o//q_
i>e
; 6. La é y la ó tónicas diptongan, salvo ante ch (nóctem > noche).
é>ie//_ch
ó>ue//_ch
; 7. Las oclusivas sordas se sonorizan entre vocales y entre vocal y líquida.
P>B/V_V
P>B/V_L
qu>gu/V_V
@etapa castellano antiguo
; Los rasgos propios del castellano, y la grafía de hoy.
; 8. Los grupos iniciales pl, cl, fl dan ll.
#pl>#ll
#cl>#ll
#fl>#ll
; 9. Geminadas: nn da ñ y mm da m (ll y rr se quedan).
nn>ñ
mm>m
; 10. Prótesis: e ante s y oclusiva al principio de la palabra.
>e/#_sP
; 11. La f- inicial ante vocal da h-, salvo ante ue (fócum > fuego).
#f>#h/_V//_ue
; 12. La -e final cae tras vocal y r (stāre > estar).
e>/Vr_#
; 13. Las marcas de cantidad y de acento se quitan: cada larga o tónica
;     de X da la vocal de Y con el mismo número de orden.
X=ā,ē,ī,ō,ū,é,ó
Y=a,e,i,o,u,e,o
X>Y

; Una regla esporádica (?N) cambia cada coincidencia con esa probabilidad;
; por ejemplo, para que la mitad de las -d- intervocálicas cayeran:
; d>/V_V ?50
