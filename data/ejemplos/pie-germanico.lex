póːds
patéːr
bʰráːteːr
kʷód
dékm̩
ágros
gʰóstis
dʰuktéːr
