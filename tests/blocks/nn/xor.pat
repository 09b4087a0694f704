Patternfile
FILENAME: C:\KYT\CIRCUITS
FILETYPE: Inclusive_Sollwert
NOOFPATTERN: 4

NETPARAMETER

INPUTNEURONS: 2
OUTPUTNEURONS: 1
HIDDENNEURONS: 2

PATTERN 1
INPUT:            0. 0. 
OUTPUT_REF:      0.     
OUTPUT:       0.5     
HIDDENACTIVATION:
       0.5     
       0.5     

PATTERN 2
INPUT:            0. 1. 
OUTPUT_REF:      1.     
OUTPUT:       0.5     
HIDDENACTIVATION:
       0.5     
       0.5     

PATTERN 3
INPUT:            1. 0. 
OUTPUT_REF:      1.     
OUTPUT:       0.5     
HIDDENACTIVATION:
       0.5     
       0.5     

PATTERN 4
INPUT:            1. 1. 
OUTPUT_REF:      0.     
OUTPUT:       0.5     
HIDDENACTIVATION:
       0.5     
       0.5     
