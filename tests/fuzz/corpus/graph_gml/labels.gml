graph [
  directed 1
  node [ id 1 label "One" image "1.jpg" ]
  node [ id 2 label "Two" community 3 ]
  edge [ source 1 target 2 ]
  edge [ source 2 target 1 ]
]
